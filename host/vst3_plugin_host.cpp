#include "host/vst3_plugin_host.h"

#include <cstring>
#include <filesystem>
#include <utility>

#include "host/plugin_formats.h"
#include "host/vst3_system.h"
#include "vst3/vst3_strings.h"

using namespace vst3;

namespace host {

namespace {

std::unique_ptr<PluginModule> LoadVst3(const std::string& path, std::string* error) {
    return Vst3Module::Load(path, error);
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool TakesVst3Path(const std::string& path) {
    return EndsWith(path, ".vst3") || EndsWith(path, ".vst3/");
}

std::string Text(const char16* text, std::size_t units) {
    char utf8[512];
    CopyFromString16(utf8, sizeof(utf8), text, units);
    return utf8;
}

template <typename Interface>
Interface* Query(FUnknown* object, const Tuid& iid) {
    void* found = nullptr;
    if (object == nullptr || object->queryInterface(iid.bytes, &found) != kResultOk) return nullptr;
    return static_cast<Interface*>(found);
}

}  // namespace

const PluginFormat kVst3Format = {"VST 3", &TakesVst3Path, &LoadVst3};

Vst3Instance::Vst3Instance(Vst3Module& module, IComponent* component)
    : module_(module), frame_(record_, module.RunLoop()), component_(component) {}

Vst3Instance::~Vst3Instance() {
    if (!Alive()) return;
    CloseEditor();
    Stop();
    if (controller_ != nullptr) controller_->setComponentHandler(nullptr);
    component_->terminate();
    Release();
}

void Vst3Instance::Release() {
    if (controller_ != nullptr) controller_->release();
    if (processor_ != nullptr) processor_->release();
    component_->release();
    controller_ = nullptr;
    processor_ = nullptr;
    component_ = nullptr;
}

bool Vst3Instance::Connect() {
    processor_ = Query<IAudioProcessor>(component_, kIAudioProcessorIid);
    controller_ = Query<IEditController>(component_, kIEditControllerIid);
    if (processor_ == nullptr || controller_ == nullptr) return false;
    if (controller_->setComponentHandler(&handler_) != kResultOk) return false;
    Vst3MemoryStream state;
    if (component_->getState(&state) == kResultOk) {
        state.Rewind();
        controller_->setComponentState(&state);
    }
    return true;
}

std::string Vst3Instance::Name() { return module_.ClassName(); }
std::string Vst3Instance::Vendor() { return module_.ClassVendor(); }
std::string Vst3Instance::Version() { return module_.ClassVersion(); }

bool Vst3Instance::Start(double sampleRate, int maxBlock) {
    if (!Alive()) return false;
    Stop();
    SpeakerArrangement arrangement = channels_ == 1 ? kSpeakerMono : kSpeakerStereo;
    if (processor_->setBusArrangements(&arrangement, 1, &arrangement, 1) != kResultOk) return false;
    ProcessSetup setup{kRealtime, kSample32, maxBlock, sampleRate};
    if (processor_->setupProcessing(setup) != kResultOk) return false;
    if (component_->setActive(1) != kResultOk) return false;
    processor_->setProcessing(1);
    context_ = {};
    context_.sampleRate = sampleRate;
    started_ = true;
    return true;
}

void Vst3Instance::Stop() {
    if (!started_ || !Alive()) return;
    processor_->setProcessing(0);
    component_->setActive(0);
    started_ = false;
}

bool Vst3Instance::SetChannels(int channels) {
    if (!Alive() || started_ || channels < 1 || channels > 2) return false;
    SpeakerArrangement arrangement = channels == 1 ? kSpeakerMono : kSpeakerStereo;
    if (processor_->setBusArrangements(&arrangement, 1, &arrangement, 1) != kResultOk) return false;
    channels_ = channels;
    return true;
}

int Vst3Instance::ParamCount() { return Alive() ? controller_->getParameterCount() : 0; }

std::string Vst3Instance::ParamName(int index) {
    ParameterInfo info{};
    if (!Alive() || controller_->getParameterInfo(index, info) != kResultOk) return "";
    return Text(info.title, 128);
}

std::string Vst3Instance::ParamLabel(int index) {
    ParameterInfo info{};
    if (!Alive() || controller_->getParameterInfo(index, info) != kResultOk) return "";
    return Text(info.units, 128);
}

std::string Vst3Instance::ParamDisplay(int index) {
    std::string text;
    return Alive() && ParamDisplayOf(index, GetParam(index), &text) ? text : "";
}

bool Vst3Instance::ParamDisplayOf(int index, double normalized, std::string* text) {
    String128 display{};
    if (!Alive() || controller_->getParamStringByValue(static_cast<ParamID>(index), normalized,
                                                       display) != kResultOk) {
        return false;
    }
    *text = Text(display, 128);
    return true;
}

double Vst3Instance::GetParam(int index) {
    return Alive() ? controller_->getParamNormalized(static_cast<ParamID>(index)) : 0.0;
}

void Vst3Instance::SetParam(int index, double normalized) {
    if (!Alive()) return;
    controller_->setParamNormalized(static_cast<ParamID>(index), normalized);
    changes_.Add(static_cast<ParamID>(index), 0, normalized);
}

bool Vst3Instance::SetParamAt(int index, double normalized, int offset) {
    return Alive() && changes_.Add(static_cast<ParamID>(index), offset, normalized);
}

bool Vst3Instance::SetParamFromText(int index, const std::string& text) {
    if (!Alive()) return false;
    String128 typed{};
    CopyToString16(typed, 128, text.c_str());
    ParamValue normalized = 0;
    if (controller_->getParamValueByString(static_cast<ParamID>(index), typed, normalized) !=
        kResultOk) {
        return false;
    }
    SetParam(index, normalized);
    return true;
}

void Vst3Instance::ProcessBlock(int32 sampleSize, void* const* inputs, void* const* outputs,
                                int frames) {
    AudioBusBuffers in{};
    AudioBusBuffers out{};
    in.numChannels = out.numChannels = channels_;
    in.channelBuffers32 = reinterpret_cast<Sample32**>(const_cast<void**>(inputs));
    out.channelBuffers32 = reinterpret_cast<Sample32**>(const_cast<void**>(outputs));
    ProcessData data{};
    data.processMode = kRealtime;
    data.symbolicSampleSize = sampleSize;
    data.numSamples = frames;
    // A block of no frames only hands the changes over, with no buses.
    data.numInputs = data.numOutputs = frames > 0 ? 1 : 0;
    data.inputs = &in;
    data.outputs = &out;
    data.inputParameterChanges = &changes_;
    data.outputParameterChanges = &outputChanges_;
    data.processContext = &context_;
    processor_->process(data);
    changes_.Clear();
    outputChanges_.Clear();
    context_.projectTimeSamples += frames;
    context_.continousTimeSamples += frames;
}

void Vst3Instance::Process(float* const* inputs, float* const* outputs, int frames) {
    if (Alive()) {
        ProcessBlock(kSample32, reinterpret_cast<void* const*>(inputs),
                     reinterpret_cast<void* const*>(outputs), frames);
    }
}

void Vst3Instance::Process(double* const* inputs, double* const* outputs, int frames) {
    if (Alive()) {
        ProcessBlock(kSample64, reinterpret_cast<void* const*>(inputs),
                     reinterpret_cast<void* const*>(outputs), frames);
    }
}

Bytes Vst3Instance::SaveState() {
    Vst3MemoryStream state;
    if (!Alive() || component_->getState(&state) != kResultOk) return {};
    return state.Data();
}

// The points queued for the state that was go with it.
bool Vst3Instance::LoadState(const Bytes& bytes) {
    if (!Alive()) return false;
    changes_.Clear();
    Vst3MemoryStream state(bytes);
    if (component_->setState(&state) != kResultOk) return false;
    state.Rewind();
    controller_->setComponentState(&state);
    return true;
}

bool Vst3Instance::HasEditor() {
    if (!Alive()) return false;
    if (view_ != nullptr) return true;
    IPlugView* view = controller_->createView(kEditorViewType);
    if (view == nullptr) return false;
    view->release();
    return true;
}

bool Vst3Instance::EditorSize(int* width, int* height) {
    if (!Alive()) return false;
    IPlugView* view = view_ != nullptr ? view_ : controller_->createView(kEditorViewType);
    if (view == nullptr) return false;
    ViewRect size{};
    const bool known = view->getSize(&size) == kResultOk;
    if (view != view_) view->release();
    if (!known) return false;
    *width = size.right - size.left;
    *height = size.bottom - size.top;
    return true;
}

bool Vst3Instance::OpenEditor(void* parent) {
    if (!Alive() || view_ != nullptr) return false;
    IPlugView* view = controller_->createView(kEditorViewType);
    if (view == nullptr) return false;
    if (view->isPlatformTypeSupported(Vst3WindowType()) != kResultTrue ||
        view->setFrame(&frame_) != kResultOk) {
        view->release();
        return false;
    }
    // The scale comes before the window, as it may.
    if (editorScale_ > 0.0) {
        void* scaling = nullptr;
        if (view->queryInterface(kIPlugViewContentScaleSupportIid.bytes, &scaling) == kResultOk &&
            scaling != nullptr) {
            auto* support = static_cast<IPlugViewContentScaleSupport*>(scaling);
            support->setContentScaleFactor(static_cast<float>(editorScale_));
            support->release();
        }
    }
    if (view->attached(parent, Vst3WindowType()) != kResultOk) {
        view->setFrame(nullptr);
        view->release();
        return false;
    }
    view_ = view;
    return true;
}

bool Vst3Instance::SetEditorScale(double factor) {
    editorScale_ = factor;
    return true;
}

void Vst3Instance::IdleEditor() {
    if (Alive()) module_.RunLoop().Pump();
}

void Vst3Instance::CloseEditor() {
    if (!Alive() || view_ == nullptr) return;
    view_->removed();
    view_->setFrame(nullptr);
    view_->release();
    view_ = nullptr;
}

// Terminated with the view attached and processing on, the view released without removed.
void Vst3Instance::CloseAbruptly() {
    if (!Alive()) return;
    component_->terminate();
    if (view_ != nullptr) view_->release();
    view_ = nullptr;
    Release();
}

Vst3Module::Vst3Module(std::unique_ptr<SharedLibrary> library, bool entered)
    : library_(std::move(library)), entered_(entered) {}

Vst3Module::Vst3Module(FactoryEntry entry) { Open(entry, nullptr); }

Vst3Module::~Vst3Module() {
    if (factory_ != nullptr) factory_->release();
    if (entered_) ExitVst3Module(*library_);
}

std::unique_ptr<PluginModule> Vst3Module::Load(const std::string& path, std::string* error) {
    std::error_code failed;
    const std::string binary =
        std::filesystem::is_directory(path, failed) ? Vst3BundleBinary(path) : path;
    std::unique_ptr<SharedLibrary> library = SharedLibrary::Open(binary, error);
    if (library == nullptr) return nullptr;
    const auto entry = reinterpret_cast<FactoryEntry>(library->Symbol("GetPluginFactory"));
    if (entry == nullptr) {
        if (error != nullptr) *error = binary + " exports no GetPluginFactory";
        return nullptr;
    }
    if (!EnterVst3Module(*library, binary, error)) return nullptr;
    std::unique_ptr<Vst3Module> module(new Vst3Module(std::move(library), true));
    if (!module->Open(entry, error)) return nullptr;
    return module;
}

bool Vst3Module::Open(FactoryEntry entry, std::string* error) {
    factory_ = entry();
    if (factory_ == nullptr) {
        if (error != nullptr) *error = "GetPluginFactory returned no factory";
        return false;
    }
    if (auto* factory3 = Query<IPluginFactory3>(factory_, kIPluginFactory3Iid)) {
        factory3->setHostContext(&application_);
        factory3->release();
    }
    auto* factory2 = Query<IPluginFactory2>(factory_, kIPluginFactory2Iid);
    for (int32 i = 0; i < factory_->countClasses(); ++i) {
        PClassInfo info{};
        if (factory_->getClassInfo(i, &info) != kResultOk ||
            std::strcmp(info.category, kAudioEffectCategory) != 0) {
            continue;
        }
        std::memcpy(classId_, info.cid, sizeof(classId_));
        name_ = info.name;
        PClassInfo2 info2{};
        if (factory2 != nullptr && factory2->getClassInfo2(i, &info2) == kResultOk) {
            vendor_ = info2.vendor;
            version_ = info2.version;
        }
        break;
    }
    if (factory2 != nullptr) factory2->release();
    if (name_.empty() && error != nullptr) *error = "the factory lists no audio effect";
    return !name_.empty();
}

std::unique_ptr<PluginInstance> Vst3Module::CreateInstance() {
    if (factory_ == nullptr || name_.empty()) return nullptr;
    void* object = nullptr;
    if (factory_->createInstance(classId_, kIComponentIid.bytes, &object) != kResultOk ||
        object == nullptr) {
        return nullptr;
    }
    auto* component = static_cast<IComponent*>(object);
    // A component that fails to initialise is released without terminate.
    if (component->initialize(&application_) != kResultOk) {
        component->release();
        return nullptr;
    }
    auto instance = std::make_unique<Vst3Instance>(*this, component);
    if (!instance->Connect()) return nullptr;
    return instance;
}

}  // namespace host
