// The object's identity and lifetime, its buses and activation, and its state: the component's
// and the controller's state are both the program-state bytes, so one pair of calls serves both.
#include "vst3/vst3_plugin.h"

#include "adapter/program_state.h"
#include "adapter/state_stream.h"
#include "editor/editor.h"
#include "vst3/vst3_strings.h"
#include "vst3/vst3_view.h"

using namespace vst3;

namespace {

template <typename Interface>
tresult Answer(Interface* sub, void** obj) {
    sub->addRef();
    *obj = sub;
    return kResultOk;
}

}  // namespace

Vst3Plugin::Vst3Plugin(FUnknown* factoryContext, const PluginConstants& constants)
    : PluginBase(constants), factoryContext_(factoryContext) {
    if (factoryContext_ != nullptr) factoryContext_->addRef();
    ConnectInputs(NInputs());
    ConnectOutputs(NOutputs());
    if (IsComplete() && !SetBlockSize(1024)) MarkIncomplete();
}

Vst3Plugin::~Vst3Plugin() {
    // The editor's destructor may still call the host (the host-call operations live here).
    DeleteEditor();
    if (componentHandler_ != nullptr) componentHandler_->release();
    if (hostContext_ != nullptr) hostContext_->release();
    if (factoryContext_ != nullptr) factoryContext_->release();
}

tresult Vst3Plugin::queryInterface(const char* iid, void** obj) {
    if (obj == nullptr) return kInvalidArgument;
    if (SameTuid(iid, kFUnknownIid) || SameTuid(iid, kIPluginBaseIid) ||
        SameTuid(iid, kIComponentIid)) {
        return Answer(static_cast<IComponent*>(this), obj);
    }
    if (SameTuid(iid, kIAudioProcessorIid)) return Answer(static_cast<IAudioProcessor*>(this), obj);
    if (SameTuid(iid, kIEditControllerIid)) return Answer(static_cast<IEditController*>(this), obj);
    if (SameTuid(iid, kIProcessContextRequirementsIid)) {
        return Answer(static_cast<IProcessContextRequirements*>(this), obj);
    }
    *obj = nullptr;
    return kNoInterface;
}

uint32 Vst3Plugin::addRef() { return ++references_; }

uint32 Vst3Plugin::release() {
    const uint32 left = --references_;
    if (left == 0) delete this;
    return left;
}

tresult Vst3Plugin::initialize(FUnknown* context) {
    LockGuard guard(lock);
    if (initialized_) return kResultFalse;
    initialized_ = true;
    if (context != nullptr) {
        context->addRef();
        hostContext_ = context;
    }
    // What VST 2's effOpen does: the effect hears every value (Quality sets the oversampling).
    ReportAllParams();
    return kResultOk;
}

tresult Vst3Plugin::terminate() {
    // A view still attached goes first: its window, its run-loop handlers, its edit.
    if (editorView_ != nullptr) editorView_->Detach();
    LockGuard guard(lock);
    if (!initialized_) return kResultFalse;
    initialized_ = false;
    active_ = false;
    if (componentHandler_ != nullptr) componentHandler_->release();
    componentHandler_ = nullptr;
    if (hostContext_ != nullptr) hostContext_->release();
    hostContext_ = nullptr;
    return kResultOk;
}

// Processor and controller are this one object: there is no controller class of its own.
tresult Vst3Plugin::getControllerClassId(char*) { return kResultFalse; }

tresult Vst3Plugin::setIoMode(IoMode) { return kResultOk; }

int32 Vst3Plugin::getBusCount(MediaType type, BusDirection dir) {
    return type == kAudio && (dir == kInput || dir == kOutput) ? 1 : 0;
}

tresult Vst3Plugin::getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& bus) {
    if (type != kAudio || (dir != kInput && dir != kOutput) || index != 0) return kInvalidArgument;
    bus.mediaType = kAudio;
    bus.direction = dir;
    bus.channelCount = channels_;
    CopyToString16(bus.name, 128, dir == kInput ? "Input" : "Output");
    bus.busType = kMain;
    bus.flags = kDefaultActive;
    return kResultOk;
}

tresult Vst3Plugin::getRoutingInfo(RoutingInfo&, RoutingInfo&) { return kNotImplemented; }

tresult Vst3Plugin::activateBus(MediaType type, BusDirection dir, int32 index, TBool) {
    return type == kAudio && (dir == kInput || dir == kOutput) && index == 0 ? kResultOk
                                                                             : kInvalidArgument;
}

// As VST 2's effMainsChanged: the effect hears of it, and switching off lets it take a new rate.
tresult Vst3Plugin::setActive(TBool state) {
    LockGuard guard(lock);
    if (!initialized_) return kNotInitialized;
    active_ = state != 0;
    ActivationChanged(state != 0);
    if (state == 0) ResetState();
    return kResultOk;
}

tresult Vst3Plugin::setState(IBStream* state) { return LoadStateStream(state); }

tresult Vst3Plugin::getState(IBStream* state) { return SaveStateStream(state); }

// The bytes are this object's own, already loaded by setState; a host that sends only these gets
// them loaded all the same. Nothing reaches the component handler.
tresult Vst3Plugin::setComponentState(IBStream* state) { return LoadStateStream(state); }

tresult Vst3Plugin::LoadStateStream(IBStream* stream) {
    if (stream == nullptr) return kInvalidArgument;
    StateChunk chunk;
    const bool whole = ReadStateStream(
        [stream](std::uint8_t* piece, std::int64_t ask) -> std::int64_t {
            int32 got = 0;
            const tresult result = stream->read(piece, static_cast<int32>(ask), &got);
            if (got < 0) return -1;
            // Streams differ in how they end: with false, or with nothing read.
            return result == kResultOk || got > 0 ? got : 0;
        },
        chunk);
    if (!whole || !LoadProgramStateStrictly(*this, chunk)) return kResultFalse;
    return kResultOk;
}

tresult Vst3Plugin::SaveStateStream(IBStream* stream) {
    if (stream == nullptr) return kInvalidArgument;
    StateChunk chunk;
    if (!SaveProgramState(*this, chunk)) return kOutOfMemory;
    const bool written = WriteStateStream(
        [stream](const std::uint8_t* bytes, std::int64_t size) -> std::int64_t {
            int32 took = 0;
            const tresult result =
                stream->write(const_cast<std::uint8_t*>(bytes), static_cast<int32>(size), &took);
            return result == kResultOk ? took : -1;
        },
        chunk);
    return written ? kResultOk : kResultFalse;
}

Editor* Vst3Plugin::WindowEditor() const {
    return editor != nullptr && editor->CanOpenWindow() ? editor : nullptr;
}

FUnknown* Vst3Plugin::HostContext() const {
    return hostContext_ != nullptr ? hostContext_ : factoryContext_;
}

bool Vst3Plugin::ClaimEditor(Vst3View* view) {
    if (!initialized_ || editorView_ != nullptr || WindowEditor() == nullptr) return false;
    editorView_ = view;
    return true;
}

void Vst3Plugin::ReleaseEditor(Vst3View* view) {
    if (editorView_ == view) editorView_ = nullptr;
}
