#include "editor_x11/x11_editor.h"

#include <cstdint>

namespace {

constexpr uint8_t kLeftButton = 1;
constexpr uint8_t kMiddleButton = 2;
constexpr uint8_t kRightButton = 3;
constexpr uint8_t kWheelUp = 4;
constexpr uint8_t kWheelDown = 5;
constexpr uint16_t kDragButtons = XCB_BUTTON_MASK_1 | XCB_BUTTON_MASK_3;

// Buttons and modifiers from an event's state, which is the state before a press or release.
MouseMod ModFrom(uint16_t state) {
    MouseMod mod;
    mod.left = (state & XCB_BUTTON_MASK_1) != 0;
    mod.right = (state & XCB_BUTTON_MASK_3) != 0;
    mod.shift = (state & kShiftMask) != 0;
    mod.ctrl = (state & kControlMask) != 0;
    mod.alt = (state & kAltMask) != 0;
    return mod;
}

WindowHandle HandleOf(uint32_t window) {
    return reinterpret_cast<WindowHandle>(static_cast<uintptr_t>(window));
}

}  // namespace

X11Editor::X11Editor(PluginBase* plug) : PanelEditor(plug) {}

X11Editor::~X11Editor() { DestroyEditorWindow(); }

WindowHandle X11Editor::CreateEditorWindow(WindowHandle parent) {
    int x = 0;
    int y = 0;
    if (window_ != nullptr) {
        // Reopened where it was.
        window_->Position(x, y);
        DestroyEditorWindow();
    }
    const auto parentId = reinterpret_cast<uintptr_t>(parent);
    if (parentId > UINT32_MAX) return nullptr;
    window_ = X11Window::Open(static_cast<uint32_t>(parentId), x, y, PixelWidth(), PixelHeight());
    if (window_ == nullptr) return nullptr;
    // The window grows to the display's scale before it is first painted.
    FoundDisplayScale(X11DisplayScale(window_->Connection()));
    hasMouse_ = false;
    motionPending_ = false;
    exposed_ = {};
    doubleClick_.Reset();
    keymap_.Invalidate();
    lastTick_ = {};
    MarkAllChanged();
    return HandleOf(window_->Id());
}

void X11Editor::DestroyEditorWindow() {
    if (window_ == nullptr) return;
    // A gesture in progress ends with the window, its edit too.
    LoseMouse();
    // A value box goes with its window, unapplied, and so does the menu.
    if (EntryBoxOpen()) FinishEntry(false);
    CloseScaleMenu(false);
    window_.reset();
}

WindowHandle X11Editor::EditorWindowHandle() {
    return window_ != nullptr ? HandleOf(window_->Id()) : nullptr;
}

bool X11Editor::PresentRect(const Rect& r) {
    const Rect shown = OverlayEntryBox(r);
    if (window_ != nullptr && drawBitmap != nullptr) window_->Put(*drawBitmap, shown);
    return true;
}

void X11Editor::OpenEntryBox(Control* control, const TextStyle& style, const Rect& r,
                             const char* text, PluginParam* param) {
    const bool wasOpen = EntryBoxOpen();
    PanelEditor::OpenEntryBox(control, style, r, text, param);
    if (wasOpen || !EntryBoxOpen() || window_ == nullptr || !window_->Usable()) return;
    focusRequest_ = window_->TakeKeyboard(lastInputTime_);
    focusRequested_ = true;
}

void X11Editor::DestroyEntryBox() {
    const bool wasOpen = EntryBoxOpen();
    PanelEditor::DestroyEntryBox();
    if (wasOpen && window_ != nullptr) window_->ReturnKeyboard();
    focusRequested_ = false;
}

int X11Editor::EventFileDescriptor() const {
    return window_ != nullptr && window_->Usable() ? xcb_get_file_descriptor(window_->Connection())
                                                   : -1;
}

void X11Editor::Idle() {
    if (window_ == nullptr || !window_->Usable()) return;
    // A handler may reach the host, which may close the editor before it returns.
    while (window_ != nullptr) {
        XcbEvent event = window_->PollEvent();
        if (event == nullptr) break;
        HandleEvent(*event);
    }
    DeliverMotion();
    if (window_ == nullptr) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastTick_ >= std::chrono::milliseconds(1000 / Fps())) {
        lastTick_ = now;
        Tick();
    }
    if (window_ != nullptr) window_->Flush();
}

void X11Editor::HandleEvent(const xcb_generic_event_t& event) {
    const uint8_t type = event.response_type & 0x7F;
    if (type == XCB_MOTION_NOTIFY) {
        motion_ = reinterpret_cast<const xcb_motion_notify_event_t&>(event);
        motionPending_ = true;
        return;
    }
    DeliverMotion();
    if (window_ == nullptr) return;
    switch (type) {
        case XCB_BUTTON_PRESS:
            OnButtonPress(reinterpret_cast<const xcb_button_press_event_t&>(event));
            break;
        case XCB_BUTTON_RELEASE:
            OnButtonRelease(reinterpret_cast<const xcb_button_release_event_t&>(event));
            break;
        case XCB_EXPOSE: OnExpose(reinterpret_cast<const xcb_expose_event_t&>(event)); break;
        case XCB_KEY_PRESS:
            OnKeyPress(reinterpret_cast<const xcb_key_press_event_t&>(event));
            break;
        case XCB_FOCUS_IN:
            OnFocus(reinterpret_cast<const xcb_focus_in_event_t&>(event), true);
            break;
        case XCB_FOCUS_OUT:
            OnFocus(reinterpret_cast<const xcb_focus_in_event_t&>(event), false);
            break;
        case XCB_UNMAP_NOTIFY:
            // Hidden by the host: the server ended the pointer grab a press made.
            if (reinterpret_cast<const xcb_unmap_notify_event_t&>(event).window == window_->Id()) {
                LoseMouse();
            }
            break;
        case XCB_DESTROY_NOTIFY:
            // The host destroyed its window, and ours with it, before closing the editor.
            if (reinterpret_cast<const xcb_destroy_notify_event_t&>(event).window ==
                window_->Id()) {
                window_->Forget();
                LoseMouse();
            }
            break;
        case XCB_MAPPING_NOTIFY:
            if (reinterpret_cast<const xcb_mapping_notify_event_t&>(event).request ==
                XCB_MAPPING_KEYBOARD) {
                keymap_.Invalidate();
            }
            break;
        default: break;  // errors included: they concern only this connection
    }
}

void X11Editor::OnButtonPress(const xcb_button_press_event_t& event) {
    lastInputTime_ = event.time;
    const int x = event.event_x;
    const int y = event.event_y;
    MouseMod mod = ModFrom(event.state);
    bool took = false;
    switch (event.detail) {
        case kLeftButton:
            mod.left = true;
            took = doubleClick_.Press(event.time, x, y) ? HandleDoubleClick(x, y, mod)
                                                        : HandlePress(x, y, MouseButton::Left, mod);
            break;
        case kMiddleButton:
            doubleClick_.Reset();
            took = HandlePress(x, y, MouseButton::Middle, mod);
            break;
        case kRightButton:
            mod.right = true;
            doubleClick_.Reset();
            took = HandlePress(x, y, MouseButton::Right, mod);
            break;
        case kWheelUp: HandleWheel(x, y, mod, 1); break;
        case kWheelDown: HandleWheel(x, y, mod, -1); break;
        default: break;
    }
    if (took) hasMouse_ = true;
}

void X11Editor::OnButtonRelease(const xcb_button_release_event_t& event) {
    if (event.detail < kLeftButton || event.detail > kRightButton) return;
    lastInputTime_ = event.time;
    MouseMod mod = ModFrom(event.state);
    if (event.detail == kLeftButton) mod.left = false;
    if (event.detail == kRightButton) mod.right = false;
    if (HandleRelease(event.event_x, event.event_y, mod)) hasMouse_ = false;
}

void X11Editor::LoseMouse() {
    hasMouse_ = false;
    motionPending_ = false;
    CancelGesture();
}

void X11Editor::DeliverMotion() {
    if (!motionPending_) return;
    motionPending_ = false;
    if (hasMouse_ && (motion_.state & kDragButtons) != 0) {
        HandleDrag(motion_.event_x, motion_.event_y, ModFrom(motion_.state));
    }
}

void X11Editor::OnScaleChanged() {
    if (window_ != nullptr) window_->Resize(PixelWidth(), PixelHeight());
}

void X11Editor::OnMenuShown(bool shown) {
    if (window_ == nullptr || !window_->Usable()) return;
    if (!shown) {
        window_->ReturnKeyboard();
        return;
    }
    // The menu's keys; the FocusIn this causes changes no value box.
    focusRequest_ = window_->TakeKeyboard(lastInputTime_);
    focusRequested_ = true;
}

void X11Editor::OnExpose(const xcb_expose_event_t& event) {
    const Rect area =
        Scale().PanelCover({event.x, event.y, event.x + event.width, event.y + event.height});
    exposed_ = IsEmptyRect(exposed_) ? area : UnionRect(exposed_, area);
    if (event.count != 0) return;
    const Rect r = exposed_;
    exposed_ = {};
    RedrawRect(r);
}

void X11Editor::OnKeyPress(const xcb_key_press_event_t& event) {
    lastInputTime_ = event.time;
    if (!EntryBoxOpen() && !ScaleMenu().IsOpen()) return;
    keymap_.Load(window_->Connection());
    const EntryKey key = EntryKeyFromKeysym(keymap_.Keysym(event.detail, event.state), event.state);
    if (ScaleMenu().IsOpen()) {
        HandleMenuKey(key.virtualKey);
    } else if (key.virtualKey != 0) {
        EntryKeyDown(key.virtualKey);
    } else if (key.character != '\0') {
        EntryCharacter(key.character);
    }
}

void X11Editor::OnFocus(const xcb_focus_in_event_t& event, bool gained) {
    if (event.event != window_->Id()) return;
    // Focus moving for a keyboard grab, or to where the pointer is, is no choice of the user's.
    if (event.mode == XCB_NOTIFY_MODE_GRAB || event.mode == XCB_NOTIFY_MODE_UNGRAB) return;
    if (event.detail == XCB_NOTIFY_DETAIL_POINTER || event.detail == XCB_NOTIFY_DETAIL_INFERIOR ||
        event.detail == XCB_NOTIFY_DETAIL_POINTER_ROOT || event.detail == XCB_NOTIFY_DETAIL_NONE) {
        return;
    }
    if (gained && focusRequested_ && event.sequence == focusRequest_) {
        // The focus the box took on opening, as a native box has it before it listens.
        focusRequested_ = false;
        return;
    }
    EntryFocusChanged(gained);
}
