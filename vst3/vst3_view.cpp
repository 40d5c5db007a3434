#include "vst3/vst3_view.h"

#include <cstring>

#include "editor/editor.h"
#include "vst3/vst3_plugin.h"

using namespace vst3;

namespace {

// The editor's redraw tick, as its window's timer runs it on Windows.
constexpr uint64 kTickMilliseconds = 20;

}  // namespace

Vst3View::Vst3View(Vst3Plugin& plug) : plug_(plug) { plug_.addRef(); }

Vst3View::~Vst3View() {
    Detach();
    if (frame_ != nullptr) frame_->release();
    plug_.release();
}

tresult Vst3View::queryInterface(const char* iid, void** obj) {
    if (obj == nullptr) return kInvalidArgument;
    FUnknown* found = nullptr;
    if (SameTuid(iid, kFUnknownIid) || SameTuid(iid, kIPlugViewIid)) {
        found = static_cast<IPlugView*>(this);
    } else if (SameTuid(iid, kIEventHandlerIid)) {
        found = static_cast<IEventHandler*>(this);
    } else if (SameTuid(iid, kITimerHandlerIid)) {
        found = static_cast<ITimerHandler*>(this);
    } else if (SameTuid(iid, kIPlugViewContentScaleSupportIid)) {
        found = static_cast<IPlugViewContentScaleSupport*>(this);
    }
    *obj = found;
    if (found == nullptr) return kNoInterface;
    found->addRef();
    return kResultOk;
}

uint32 Vst3View::addRef() { return ++references_; }

uint32 Vst3View::release() {
    const uint32 left = --references_;
    if (left == 0) delete this;
    return left;
}

Editor* Vst3View::AttachedEditor() const { return attached_ ? plug_.WindowEditor() : nullptr; }

ViewRect Vst3View::Size() const {
    const Editor* editor = plug_.WindowEditor();
    return {0, 0, editor != nullptr ? editor->PixelWidth() : 0,
            editor != nullptr ? editor->PixelHeight() : 0};
}

tresult Vst3View::isPlatformTypeSupported(FIDString type) {
    return type != nullptr && std::strcmp(type, NativeWindowType()) == 0 ? kResultTrue
                                                                         : kResultFalse;
}

tresult Vst3View::attached(void* parent, FIDString type) {
    if (isPlatformTypeSupported(type) != kResultTrue) return kResultFalse;
    if (parent == nullptr) return kInvalidArgument;
    if (attached_ || !plug_.ClaimEditor(this)) return kResultFalse;
    Editor* editor = plug_.WindowEditor();
    bool opened = false;
    {
        LockGuard guard(plug_.Lock());
        opened = editor->CreateEditorWindow(parent) != nullptr;
        if (opened) plug_.OnEditorOpen();
    }
    if (!opened) {
        plug_.ReleaseEditor(this);
        return kResultFalse;
    }
    attached_ = true;
    // An editor that nothing pumps would sit there frozen: without a run loop it closes again.
    const int fd = editor->EventFileDescriptor();
    if (fd >= 0 && !JoinRunLoop(fd)) {
        Detach();
        return kResultFalse;
    }
    return kResultOk;
}

tresult Vst3View::removed() { return Detach() ? kResultOk : kResultFalse; }

bool Vst3View::Detach() {
    if (!attached_) return false;
    LeaveRunLoop();
    Editor* editor = plug_.WindowEditor();
    {
        LockGuard guard(plug_.Lock());
        plug_.OnEditorClose();
        if (editor != nullptr) editor->DestroyEditorWindow();
    }
    attached_ = false;
    plug_.ReleaseEditor(this);
    return true;
}

IRunLoop* Vst3View::FindRunLoop() {
    void* found = nullptr;
    if (frame_ != nullptr && frame_->queryInterface(kIRunLoopIid.bytes, &found) == kResultOk &&
        found != nullptr) {
        return static_cast<IRunLoop*>(found);
    }
    FUnknown* context = plug_.HostContext();
    found = nullptr;
    if (context != nullptr && context->queryInterface(kIRunLoopIid.bytes, &found) == kResultOk &&
        found != nullptr) {
        return static_cast<IRunLoop*>(found);
    }
    return nullptr;
}

bool Vst3View::JoinRunLoop(int fd) {
    runLoop_ = FindRunLoop();
    if (runLoop_ == nullptr) return false;
    handlerRegistered_ =
        runLoop_->registerEventHandler(static_cast<IEventHandler*>(this), fd) == kResultOk;
    timerRegistered_ =
        runLoop_->registerTimer(static_cast<ITimerHandler*>(this), kTickMilliseconds) == kResultOk;
    return handlerRegistered_ && timerRegistered_;
}

void Vst3View::LeaveRunLoop() {
    if (runLoop_ == nullptr) return;
    if (handlerRegistered_) runLoop_->unregisterEventHandler(static_cast<IEventHandler*>(this));
    if (timerRegistered_) runLoop_->unregisterTimer(static_cast<ITimerHandler*>(this));
    handlerRegistered_ = timerRegistered_ = false;
    runLoop_->release();
    runLoop_ = nullptr;
}

// Without the plug-in lock, as VST 2's effEditIdle: the editor takes it wherever it edits.
void Vst3View::onFDIsSet(int) {
    if (Editor* editor = AttachedEditor()) editor->Idle();
}

void Vst3View::onTimer() {
    if (Editor* editor = AttachedEditor()) editor->Idle();
}

tresult Vst3View::getSize(ViewRect* size) {
    if (size == nullptr) return kInvalidArgument;
    *size = Size();
    return kResultOk;
}

tresult Vst3View::onSize(ViewRect* newSize) {
    if (newSize == nullptr) return kInvalidArgument;
    const ViewRect size = Size();
    const bool same = newSize->right - newSize->left == size.right &&
                      newSize->bottom - newSize->top == size.bottom;
    return same ? kResultOk : kResultFalse;
}

tresult Vst3View::setFrame(IPlugFrame* frame) {
    if (frame == frame_) return kResultOk;
    if (frame != nullptr) frame->addRef();
    if (frame_ != nullptr) frame_->release();
    frame_ = frame;
    return kResultOk;
}

// Only the editor's own size fits.
tresult Vst3View::checkSizeConstraint(ViewRect* rect) {
    if (rect == nullptr) return kInvalidArgument;
    const ViewRect size = Size();
    rect->right = rect->left + size.right;
    rect->bottom = rect->top + size.bottom;
    return kResultTrue;
}

tresult Vst3View::setContentScaleFactor(float factor) {
    if (!(factor > 0.0f)) return kInvalidArgument;
    Editor* editor = plug_.WindowEditor();
    if (editor == nullptr) return kResultFalse;
    // A change asks the frame for the new size through the plug-in's resize request.
    editor->SetDisplayScale(PanelScale::FromFactor(factor));
    return kResultTrue;
}

void Vst3View::Resized() {
    if (!attached_ || frame_ == nullptr) return;
    ViewRect size = Size();
    frame_->resizeView(this, &size);
}
