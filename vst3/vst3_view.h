// The editor's view for a VST 3 host: one per createView, showing the plug-in's editor in the
// host's window ("HWND" on Windows, "X11EmbedWindowID" on Linux), the panel's size at its
// scale and not resizable by the host. On Linux the editor has no thread and no loop of its own: the view
// registers the X connection's descriptor and a 20 ms timer with the host's run loop (from the
// frame, else from the host's context), and both call the editor's Idle; on Windows the editor's
// window has its own timer. Keys and the wheel reach the panel through its own window, so those the
// host hands over are left to the host. Lifecycle: holds a reference to its plug-in, so it never
// outlives it; removed, the plug-in's terminate or the last release takes the editor's window down.
// Threads: the host's UI thread only.
#pragma once

#include <atomic>

#include "vst3/vst3_abi.h"

class Editor;
class Vst3Plugin;

// The platform's window type: "HWND" or "X11EmbedWindowID" (vst3_window_type_*.cpp).
const char* NativeWindowType();

class Vst3View final : public vst3::IPlugView,
                       public vst3::IEventHandler,
                       public vst3::ITimerHandler,
                       public vst3::IPlugViewContentScaleSupport {
public:
    explicit Vst3View(Vst3Plugin& plug);

    vst3::tresult queryInterface(const char* iid, void** obj) override;
    vst3::uint32 addRef() override;
    vst3::uint32 release() override;

    vst3::tresult isPlatformTypeSupported(vst3::FIDString type) override;
    vst3::tresult attached(void* parent, vst3::FIDString type) override;
    vst3::tresult removed() override;
    vst3::tresult onWheel(float) override { return vst3::kResultFalse; }
    vst3::tresult onKeyDown(vst3::char16, vst3::int16, vst3::int16) override {
        return vst3::kResultFalse;
    }
    vst3::tresult onKeyUp(vst3::char16, vst3::int16, vst3::int16) override {
        return vst3::kResultFalse;
    }
    vst3::tresult getSize(vst3::ViewRect* size) override;
    vst3::tresult onSize(vst3::ViewRect* newSize) override;
    vst3::tresult onFocus(vst3::TBool) override { return vst3::kResultOk; }
    vst3::tresult setFrame(vst3::IPlugFrame* frame) override;
    vst3::tresult canResize() override { return vst3::kResultFalse; }
    vst3::tresult checkSizeConstraint(vst3::ViewRect* rect) override;
    // The display's scale: the editor follows it (unless the user chose one) and the frame is
    // asked for the scaled size, which getSize answers from then on.
    vst3::tresult setContentScaleFactor(float factor) override;

    // The run loop's calls: the X events waiting, the redraw tick.
    void onFDIsSet(int fd) override;
    void onTimer() override;

    // Takes the editor's window down and leaves the run loop, as removed does; false when the
    // view is not attached.
    bool Detach();
    // The editor's size changed: the frame hears of it.
    void Resized();

private:
    ~Vst3View();
    // The editor's size, the one place the view's size answers come from.
    vst3::ViewRect Size() const;
    // The host's run loop, with a reference for the caller; null when it offers none.
    vst3::IRunLoop* FindRunLoop();
    // Registers the editor's descriptor and timer; false when there is no run loop to take them.
    bool JoinRunLoop(int fd);
    void LeaveRunLoop();
    Editor* AttachedEditor() const;

    std::atomic<vst3::uint32> references_{1};
    Vst3Plugin& plug_;
    vst3::IPlugFrame* frame_ = nullptr;
    vst3::IRunLoop* runLoop_ = nullptr;
    bool attached_ = false;
    bool handlerRegistered_ = false;
    bool timerRegistered_ = false;
};
