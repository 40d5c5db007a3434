// The gui extension: the panel embedded in the host's window (win32 or x11, never floating), at
// its one size, and on Linux the host's loop running it: the editor's X connection through
// posix-fd-support and its 20 ms redraw tick through timer-support, both calling Editor::Idle,
// from the window's opening until it is hidden or destroyed.
#include <cstring>

#include "clap/clap_extensions.h"
#include "clap/clap_plugin.h"
#include "clap/clap_window.h"
#include "editor/editor.h"

using namespace clap;

namespace {

// The editor's redraw tick.
constexpr std::uint32_t kTickMilliseconds = 20;

ClapPlugin* Of(const clap_plugin* plugin) { return ClapPlugin::From(plugin); }

bool IsApiSupported(const clap_plugin* p, const char* api, bool floating) {
    return Of(p) != nullptr && Of(p)->GuiApiSupported(api, floating);
}

bool PreferredApi(const clap_plugin* p, const char** api, bool* floating) {
    if (Of(p) == nullptr || api == nullptr || floating == nullptr) return false;
    *api = ClapWindowApi();
    *floating = false;
    return true;
}

bool Create(const clap_plugin* p, const char* api, bool floating) {
    return Of(p) != nullptr && Of(p)->GuiCreate(api, floating);
}

void Destroy(const clap_plugin* p) {
    if (ClapPlugin* plug = Of(p)) plug->GuiDestroy();
}

bool SetScale(const clap_plugin* p, double scale) {
    return Of(p) != nullptr && Of(p)->GuiSetScale(scale);
}

bool GetSize(const clap_plugin* p, std::uint32_t* width, std::uint32_t* height) {
    return Of(p) != nullptr && Of(p)->GuiSize(width, height);
}

bool CanResize(const clap_plugin*) { return false; }

bool ResizeHints(const clap_plugin*, clap_gui_resize_hints*) { return false; }

// Every size comes to the one the panel has.
bool AdjustSize(const clap_plugin* p, std::uint32_t* width, std::uint32_t* height) {
    return GetSize(p, width, height);
}

bool SetSize(const clap_plugin* p, std::uint32_t width, std::uint32_t height) {
    return Of(p) != nullptr && Of(p)->GuiSetSize(width, height);
}

bool SetParent(const clap_plugin* p, const clap_window* window) {
    return Of(p) != nullptr && Of(p)->GuiSetParent(window);
}

// Floating windows are not offered.
bool SetTransient(const clap_plugin*, const clap_window*) { return false; }
void SuggestTitle(const clap_plugin*, const char*) {}

bool Show(const clap_plugin* p) { return Of(p) != nullptr && Of(p)->GuiShow(); }

bool Hide(const clap_plugin* p) { return Of(p) != nullptr && Of(p)->GuiHide(); }

void OnTimer(const clap_plugin* p, clap_id timer) {
    if (ClapPlugin* plug = Of(p)) plug->OnTimer(timer);
}

void OnFd(const clap_plugin* p, int fd, std::uint32_t flags) {
    if (ClapPlugin* plug = Of(p)) plug->OnFd(fd, flags);
}

}  // namespace

const clap_plugin_gui kClapGui = {
    &IsApiSupported, &PreferredApi, &Create,       &Destroy,    &SetScale,
    &GetSize,        &CanResize,    &ResizeHints,  &AdjustSize, &SetSize,
    &SetParent,      &SetTransient, &SuggestTitle, &Show,       &Hide,
};
const clap_plugin_timer_support kClapTimerSupport = {&OnTimer};
const clap_plugin_posix_fd_support kClapPosixFdSupport = {&OnFd};

bool ClapPlugin::GuiApiSupported(const char* api, bool floating) const {
    return !floating && api != nullptr && std::strcmp(api, ClapWindowApi()) == 0 &&
           editor != nullptr && editor->CanOpenWindow();
}

bool ClapPlugin::GuiCreate(const char* api, bool floating) {
    LockGuard guard(lock);
    if (guiCreated_ || !GuiApiSupported(api, floating)) return false;
    guiCreated_ = true;
    return true;
}

void ClapPlugin::GuiDestroy() {
    LockGuard guard(lock);
    CloseWindow();
    guiCreated_ = false;
}

bool ClapPlugin::GuiSize(std::uint32_t* width, std::uint32_t* height) const {
    if (width == nullptr || height == nullptr || editor == nullptr) return false;
    *width = static_cast<std::uint32_t>(editor->PixelWidth());
    *height = static_cast<std::uint32_t>(editor->PixelHeight());
    return true;
}

bool ClapPlugin::GuiSetScale(double scale) {
    LockGuard guard(lock);
    if (!guiCreated_ || editor == nullptr || !(scale > 0.0)) return false;
    editor->SetDisplayScale(PanelScale::FromFactor(scale));
    return true;
}

bool ClapPlugin::GuiSetSize(std::uint32_t width, std::uint32_t height) const {
    std::uint32_t w = 0, h = 0;
    return GuiSize(&w, &h) && width == w && height == h;
}

bool ClapPlugin::GuiSetParent(const clap_window* window) {
    LockGuard guard(lock);
    if (!guiCreated_ || window == nullptr || window->api == nullptr ||
        std::strcmp(window->api, ClapWindowApi()) != 0) {
        return false;
    }
    CloseWindow();
    if (editor->CreateEditorWindow(ClapParentWindow(*window)) == nullptr) return false;
    windowOpen_ = true;
    OnEditorOpen();
    StartRunLoop();
    return true;
}

bool ClapPlugin::GuiShow() {
    LockGuard guard(lock);
    if (!windowOpen_) return false;
    StartRunLoop();
    return true;
}

// The window stays (the host hides its own); only the tick and the events stop.
bool ClapPlugin::GuiHide() {
    LockGuard guard(lock);
    if (!windowOpen_) return false;
    StopRunLoop();
    return true;
}

void ClapPlugin::CloseWindow() {
    if (!windowOpen_) return;
    StopRunLoop();
    OnEditorClose();
    if (editor != nullptr) editor->DestroyEditorWindow();
    windowOpen_ = false;
}

void ClapPlugin::StartRunLoop() {
    if (!ClapEditorIdlesInHostLoop()) return;
    if (timer_ == kInvalidId && hostTimers_ != nullptr && hostTimers_->register_timer != nullptr) {
        clap_id id = kInvalidId;
        if (hostTimers_->register_timer(host_, kTickMilliseconds, &id)) timer_ = id;
    }
    const int fd = editor->EventFileDescriptor();
    if (fd_ < 0 && fd >= 0 && hostFds_ != nullptr && hostFds_->register_fd != nullptr &&
        hostFds_->register_fd(host_, fd, CLAP_POSIX_FD_READ | CLAP_POSIX_FD_ERROR)) {
        fd_ = fd;
    }
}

void ClapPlugin::StopRunLoop() {
    if (timer_ != kInvalidId) {
        if (hostTimers_->unregister_timer != nullptr) hostTimers_->unregister_timer(host_, timer_);
        timer_ = kInvalidId;
    }
    if (fd_ >= 0) {
        if (hostFds_->unregister_fd != nullptr) hostFds_->unregister_fd(host_, fd_);
        fd_ = -1;
    }
}

void ClapPlugin::OnTimer(clap_id timer) {
    if (timer != kInvalidId && timer == timer_) IdleEditor();
}

void ClapPlugin::OnFd(int fd, std::uint32_t) {
    if (fd >= 0 && fd == fd_) IdleEditor();
}

// Without the plug-in lock, as a window thread runs: the edits it makes take the lock themselves.
void ClapPlugin::IdleEditor() {
    if (!windowOpen_) return;
    editor->Idle();
    // A connection that broke would stay readable for good: the host stops watching it.
    if (fd_ >= 0 && editor->EventFileDescriptor() != fd_) {
        if (hostFds_->unregister_fd != nullptr) hostFds_->unregister_fd(host_, fd_);
        fd_ = -1;
    }
}
