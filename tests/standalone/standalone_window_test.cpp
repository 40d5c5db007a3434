// orv-q12's window under an X server of the test's own (xvfb-run), used as a person uses it:
// found by its title, its pixels read back, a click on the footswitch through the server, and
// the close button's request as a window manager passes it on.
#include <xcb/xcb.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <thread>

#include "editor_headless/headless_editor.h"
#include "effect/orv_q12.h"
#include "tests/editor_x11/x11_test_host.h"
#include "tests/standalone/standalone_fixture.h"

namespace {

constexpr int kFootswitchX = 147;
constexpr int kFootswitchY = 255;

bool Until(const std::function<bool()>& done, double seconds = 5) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

// The panel as the headless editor draws it for a fresh effect with Bypass set, 0xRRGGBB.
std::vector<uint32_t> Panel(float bypass) {
    ORV_Q12 fx(nullptr, &HeadlessEditor::Create);
    fx.Effect()->dispatcher(fx.Effect(), vst2::effOpen, 0, 0, nullptr, 0.0f);
    fx.Effect()->setParameter(fx.Effect(), ORV_Q12::kBypass, bypass);
    auto* editor = static_cast<HeadlessEditor*>(fx.AttachedEditor());
    for (int i = 0; i < 4; ++i) editor->Tick();
    const RasterBitmap& frame = *editor->FrameBuffer();
    std::vector<uint32_t> pixels;
    for (int y = 0; y < frame.Height(); ++y) {
        for (int x = 0; x < frame.Width(); ++x)
            pixels.push_back(frame.Bits()[y * frame.RowSpan() + x] & 0xFFFFFF);
    }
    return pixels;
}

class StandaloneWindowTest : public StandaloneTest {
protected:
    // The top-level window whose WM_NAME is `title`, or 0.
    uint32_t FindWindow(const char* title) {
        xcb_connection_t* c = x11.Connection();
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        for (uint32_t window : x11.Children(root)) {
            XcbPtr<xcb_get_property_reply_t> name(xcb_get_property_reply(
                c, xcb_get_property(c, 0, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 0, 64),
                nullptr));
            if (name == nullptr) continue;
            const std::string text(static_cast<const char*>(xcb_get_property_value(name.get())),
                                   xcb_get_property_value_length(name.get()));
            if (text == title) return window;
        }
        return 0;
    }

    std::vector<uint32_t> Shown(uint32_t window) {
        WindowImage image = x11.Image(window);
        for (uint32_t& pixel : image.pixels) pixel &= 0xFFFFFF;
        return image.pixels;
    }

    // The window manager's part of a click on the close button.
    void AskToClose(uint32_t window) {
        xcb_connection_t* c = x11.Connection();
        auto atom = [c](const char* name) {
            XcbPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
                c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
            return reply != nullptr ? reply->atom : 0;
        };
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = atom("WM_PROTOCOLS");
        message.data.data32[0] = atom("WM_DELETE_WINDOW");
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&message));
        x11.Sync();
    }

    // Whether the recording holds the signal unchanged, whole, at a period's start.
    bool PassesThrough(const StereoSignal& signal) {
        const StereoSignal& got = client_.Recorded();
        for (int at = 0; at + signal.Frames() <= got.Frames(); at += kPeriod) {
            if (SameFrom(got, at, signal, 0, signal.Frames())) return true;
        }
        return false;
    }

    X11TestHost x11;
};

}  // namespace

TEST_F(StandaloneWindowTest, ShowsThePanelWhoseFootswitchPassesTheSignalThroughAndClosesSaving) {
    ASSERT_TRUE(x11.Connected()) << "no X server: run this suite under xvfb-run";
    StartServer();
    ChildProcess orv;
    RunOrvQ12(orv, {"--no-connect", "--state", dir_ + "/state"}, {}, true);
    uint32_t window = 0;
    ASSERT_TRUE(Until([&] { return (window = FindWindow("ORV Q12")) != 0; })) << Output();

    const std::vector<uint32_t> processing = Panel(0.0f);
    const std::vector<uint32_t> bypassed = Panel(1.0f);
    ASSERT_NE(processing, bypassed) << "the light shows no difference";
    EXPECT_TRUE(Until([&] { return Shown(window) == processing; })) << "not the panel, lit";

    const StereoSignal signal = TestSignal(kRate / 2);
    const int frames = signal.Frames() + 16 * kPeriod;
    client_.Arm(signal, 4, frames);
    ASSERT_TRUE(client_.WaitRecorded(20));
    EXPECT_FALSE(PassesThrough(signal)) << "the pedal did not process";

    xcb_connection_t* c = x11.Connection();
    XcbPtr<xcb_translate_coordinates_reply_t> at(xcb_translate_coordinates_reply(
        c,
        xcb_translate_coordinates(c, window, xcb_setup_roots_iterator(xcb_get_setup(c)).data->root,
                                  0, 0),
        nullptr));
    ASSERT_NE(at, nullptr);
    x11.MoveTo(at->dst_x + kFootswitchX, at->dst_y + kFootswitchY);
    x11.Button(1, true);
    x11.Button(1, false);
    EXPECT_TRUE(Until([&] { return Shown(window) == bypassed; })) << "the light is still lit";
    client_.Arm(signal, 4, frames);
    ASSERT_TRUE(client_.WaitRecorded(20));
    EXPECT_TRUE(PassesThrough(signal)) << "the switched-off pedal changed the signal";

    AskToClose(window);
    int status = -1;
    ASSERT_TRUE(orv.Wait(5, &status)) << "the close button did not end the program";
    EXPECT_EQ(status, 0) << Output();
    const std::string state = ReadFile(dir_ + "/state");
    ASSERT_EQ(state.size(), 64u);
    double bypass = 0;
    std::memcpy(&bypass, state.data() + 8 + 8 * ORV_Q12::kBypass, 8);
    EXPECT_EQ(bypass, 1.0);
}
