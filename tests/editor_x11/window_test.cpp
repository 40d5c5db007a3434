// The editor's window in a Linux host: what it shows, how it comes and goes (also when the host
// tears its own window down first, or there is no display), two at once, and the X resources and
// file descriptors it leaves behind after many openings.
#include <fcntl.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "effect/orv_q12.h"
#include "tests/editor_x11/editor_window_fixture.h"

using namespace vst2;

namespace {

int OpenFileDescriptors() {
    int count = 0;
    for (int fd = 0; fd < 4096; ++fd) count += fcntl(fd, F_GETFD) != -1;
    return count;
}

long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

}  // namespace

TEST_F(EditorWindowTest, OpensAsAChildOfTheHostsWindowShowingThePanel) {
    EXPECT_EQ(fx.Effect()->flags & effFlagsHasEditor, effFlagsHasEditor);
    ERect* rect = nullptr;
    ASSERT_EQ(fx.Dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right, 300);
    EXPECT_EQ(rect->bottom, 350);

    ASSERT_TRUE(OpenEditor());
    XcbPtr<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(
        x11.Connection(), xcb_get_geometry(x11.Connection(), child), nullptr));
    ASSERT_NE(geometry, nullptr);
    EXPECT_EQ(geometry->x, 0);
    EXPECT_EQ(geometry->y, 0);
    EXPECT_EQ(geometry->width, 300);
    EXPECT_EQ(geometry->height, 350);

    EXPECT_TRUE(Shows(ExpectedPanel())) << DifferingPixels(ExpectedPanel()) << " pixels differ";
    SaveWindow("x11_window.png");
}

TEST_F(EditorWindowTest, AnUncoveredAreaIsPaintedAgain) {
    ASSERT_TRUE(OpenEditor());
    const std::vector<uint32_t> panel = ExpectedPanel();
    ASSERT_TRUE(Shows(panel));
    // Another top-level window over the knobs, then gone: without a background of its own the
    // editor's window shows what covered it until it paints.
    const uint32_t cover = x11.CreateWindow(kParentX + 10, kParentY + 60, 200, 120);
    x11.DestroyWindow(cover);
    EXPECT_GT(DifferingPixels(panel), 0);
    EXPECT_TRUE(Shows(panel));
}

TEST_F(EditorWindowTest, OpeningAgainReplacesTheWindowWhereItWasAndClosingRemovesIt) {
    ASSERT_TRUE(OpenEditor());
    // The host moved it.
    const uint32_t position[] = {10, 20};
    xcb_configure_window(x11.Connection(), child, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y,
                         position);
    x11.Sync();
    ASSERT_TRUE(OpenEditor()) << "one window in the host's";
    XcbPtr<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(
        x11.Connection(), xcb_get_geometry(x11.Connection(), child), nullptr));
    ASSERT_NE(geometry, nullptr);
    EXPECT_EQ(geometry->x, 10);
    EXPECT_EQ(geometry->y, 20);
    EXPECT_TRUE(Shows(ExpectedPanel()));
    EXPECT_EQ(fx.Dispatch(effEditClose), 1);
    x11.Sync();
    IdleUntil([&] { return x11.Children(parent).empty(); });
    EXPECT_TRUE(x11.Children(parent).empty());
    // Idle calls without a window, and a second close, do nothing.
    fx.Dispatch(effEditIdle);
    EXPECT_EQ(fx.Dispatch(effEditClose), 1);
}

TEST_F(EditorWindowTest, SurvivesTheHostDestroyingItsWindowFirst) {
    ASSERT_TRUE(OpenEditor());
    ASSERT_TRUE(Shows(ExpectedPanel()));
    x11.DestroyWindow(parent);
    fx.SetParameter(ORV_Q12::kDrive, 0.9f);  // something to draw into the vanished window
    IdleFor(100);
    EXPECT_EQ(fx.Dispatch(effEditClose), 1);

    parent = x11.CreateWindow(kParentX, kParentY, 400, 400);
    ASSERT_TRUE(OpenEditor());
    EXPECT_TRUE(Shows(ExpectedPanel()));
}

TEST_F(EditorWindowTest, WithoutADisplayOrAWindowTheEditorDoesNotOpenAndAudioRuns) {
    auto open = [&](uintptr_t window) {
        return fx.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(window));
    };
    const std::string display = std::getenv("DISPLAY");
    unsetenv("DISPLAY");
    EXPECT_EQ(open(parent), 0);
    setenv("DISPLAY", ":97", 1);  // no server there
    EXPECT_EQ(open(parent), 0);
    setenv("DISPLAY", display.c_str(), 1);
    EXPECT_EQ(open(0), 0);
    EXPECT_EQ(open(0x1FFFFFFF), 0) << "no such window";
    EXPECT_EQ(open(uintptr_t{1} << 40), 0) << "not an X window id";
    fx.Dispatch(effEditIdle);
    fx.Dispatch(effEditClose);

    float in[2][64], out[2][64];
    for (int i = 0; i < 64; ++i) in[0][i] = in[1][i] = 0.5f * float(i % 8) / 8.0f;
    float* inputs[] = {in[0], in[1]};
    float* outputs[] = {out[0], out[1]};
    fx.ProcessReplacing(inputs, outputs, 64);
    float energy = 0;
    for (float v : out[0]) energy += v * v;
    EXPECT_GT(energy, 0.0f);
}

TEST_F(EditorWindowTest, TwoInstancesEachHaveTheirOwnWindow) {
    const uint32_t otherParent = x11.CreateWindow(kParentX + 420, kParentY, 400, 400);
    host::HostedEffect other = Create();
    other.Start(44100.0f, 512);
    ASSERT_TRUE(OpenEditor());
    ASSERT_EQ(other.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t{otherParent})),
              1);
    const uint32_t otherChild = x11.Children(otherParent).at(0);

    other.SetParameter(ORV_Q12::kDrive, 1.0f);
    const std::vector<uint32_t> mine = ExpectedPanel();
    const std::vector<uint32_t> theirs = PanelOf(other);
    ASSERT_NE(mine, theirs);
    EXPECT_TRUE(IdleUntil([&] {
        other.Dispatch(effEditIdle);
        return DifferingPixels(mine) == 0 && DifferingPixels(theirs, otherChild) == 0;
    }));
    other.Dispatch(effEditClose);
    x11.DestroyWindow(otherParent);
}

TEST_F(EditorWindowTest, AHundredOpeningsLeaveNoResourcesBehind) {
    const ServerResources serverBefore = x11.Resources();
    ASSERT_TRUE(OpenEditor());
    IdleFor(50);
    const ServerResources whileOpen = x11.Resources();
    fx.Dispatch(effEditClose);
    IdleFor(20);

    const int fdsBefore = OpenFileDescriptors();
    const long rssBefore = ResidentKilobytes();
    for (int cycle = 0; cycle < 100; ++cycle) {
        ASSERT_TRUE(OpenEditor()) << cycle;
        IdleFor(cycle % 10 == 0 ? 30 : 0);
        fx.Dispatch(effEditClose);
    }
    // A closed connection's resources go when the server notices it closed.
    ServerResources serverAfter;
    IdleUntil([&] {
        serverAfter = x11.Resources();
        return serverAfter.clients == serverBefore.clients;
    });
    const int fdsAfter = OpenFileDescriptors();
    const long rssAfter = ResidentKilobytes();

    std::printf("server while the editor is open: %d clients, %d resources\n", whileOpen.clients,
                whileOpen.resources);
    std::printf("server: %d clients, %d resources before; %d clients, %d resources after\n",
                serverBefore.clients, serverBefore.resources, serverAfter.clients,
                serverAfter.resources);
    std::printf("process: %d fds, %ld kB resident before; %d fds, %ld kB after\n", fdsBefore,
                rssBefore, fdsAfter, rssAfter);
    EXPECT_EQ(whileOpen.clients, serverBefore.clients + 1) << "one connection";
    EXPECT_EQ(serverAfter.clients, serverBefore.clients);
    EXPECT_EQ(serverAfter.resources, serverBefore.resources);
    EXPECT_EQ(fdsAfter, fdsBefore);
#ifndef __SANITIZE_ADDRESS__
    // The address sanitizer holds freed blocks back, and checks the heap for leaks itself.
    EXPECT_LT(rssAfter - rssBefore, 1024) << "kB";
#endif
}
