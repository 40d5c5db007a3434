#include "host/vst2_plugin_host.h"

#include <cstring>
#include <utility>

#include "host/plugin_formats.h"

using namespace vst2;

namespace host {

namespace {

std::unique_ptr<PluginModule> LoadVst2(const std::string& path, std::string* error) {
    return Vst2Module::Load(path, error);
}

// Any file: a VST 2 module has no name of its own.
bool TakesAnyPath(const std::string&) { return true; }

VstSpeakerArrangement Arrangement(int channels) {
    VstSpeakerArrangement arrangement{};
    arrangement.numChannels = channels;
    arrangement.type = channels == 1 ? kSpeakerArrMono : kSpeakerArrStereo;
    return arrangement;
}

}  // namespace

const PluginFormat kVst2Format = {"VST 2", &TakesAnyPath, &LoadVst2};

Vst2Instance::Vst2Instance(AEffect* effect, std::unique_ptr<RecordingHost> recorder, bool opened)
    : recorder_(std::move(recorder)), fx_(effect), opened_(opened) {}

Vst2Instance::~Vst2Instance() {
    if (!Alive()) return;
    CloseEditor();
    fx_.Close();
}

void Vst2Instance::Open() {
    if (opened_ || !Alive()) return;
    fx_.Dispatch(effOpen);
    opened_ = true;
}

AEffect* Vst2Instance::GiveUp() {
    AEffect* effect = fx_.Effect();
    recorder_.release();
    fx_ = HostedEffect(nullptr);
    return effect;
}

std::string Vst2Instance::Name() { return Alive() ? fx_.Text(effGetEffectName) : ""; }

std::string Vst2Instance::Vendor() { return Alive() ? fx_.Text(effGetVendorString) : ""; }

std::string Vst2Instance::Version() {
    if (!Alive()) return "";
    const int v = fx_.Effect()->version;
    return std::to_string(v / 10000) + "." + std::to_string(v / 100 % 100) + "." +
           std::to_string(v % 100);
}

bool Vst2Instance::Start(double sampleRate, int maxBlock) {
    if (!Alive()) return false;
    Stop();
    Open();
    recorder_->sampleRate = sampleRate;
    recorder_->blockSize = maxBlock;
    fx_.Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    fx_.Dispatch(effSetBlockSize, 0, maxBlock);
    fx_.Dispatch(effMainsChanged, 0, 1);
    started_ = true;
    return true;
}

void Vst2Instance::Stop() {
    if (!started_ || !Alive()) return;
    fx_.Dispatch(effMainsChanged, 0, 0);
    started_ = false;
}

bool Vst2Instance::SetChannels(int channels) {
    if (!Alive() || started_ || channels < 1 || channels > 2) return false;
    VstSpeakerArrangement in = Arrangement(channels), out = Arrangement(channels);
    return fx_.Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr>(&in), &out) == 1;
}

int Vst2Instance::ParamCount() { return Alive() ? fx_.Effect()->numParams : 0; }

std::string Vst2Instance::ParamName(int index) {
    return Alive() ? fx_.Text(effGetParamName, index) : "";
}

std::string Vst2Instance::ParamLabel(int index) {
    return Alive() ? fx_.Text(effGetParamLabel, index) : "";
}

std::string Vst2Instance::ParamDisplay(int index) {
    return Alive() ? fx_.Text(effGetParamDisplay, index) : "";
}

bool Vst2Instance::ParamDisplayOf(int, double, std::string*) { return false; }

double Vst2Instance::GetParam(int index) { return Alive() ? fx_.GetParameter(index) : 0.0; }

void Vst2Instance::SetParam(int index, double normalized) {
    if (Alive()) fx_.SetParameter(index, static_cast<float>(normalized));
}

bool Vst2Instance::SetParamAt(int, double, int) { return false; }

bool Vst2Instance::SetParamFromText(int index, const std::string& text) {
    if (!Alive()) return false;
    std::string copy = text;
    return fx_.Dispatch(effString2Parameter, index, 0, copy.data()) == 1;
}

void Vst2Instance::Process(float* const* inputs, float* const* outputs, int frames) {
    if (Alive()) {
        fx_.ProcessReplacing(const_cast<float**>(inputs), const_cast<float**>(outputs), frames);
    }
}

void Vst2Instance::Process(double* const* inputs, double* const* outputs, int frames) {
    if (Alive()) {
        fx_.ProcessDoubleReplacing(const_cast<double**>(inputs), const_cast<double**>(outputs),
                                   frames);
    }
}

Bytes Vst2Instance::SaveState() {
    if (!Alive()) return {};
    void* data = nullptr;
    const intptr size = fx_.Dispatch(effGetChunk, 1, 0, &data);
    if (size <= 0 || data == nullptr) return {};
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return Bytes(bytes, bytes + size);
}

bool Vst2Instance::LoadState(const Bytes& state) {
    if (!Alive()) return false;
    Bytes copy = state;
    return fx_.Dispatch(effSetChunk, 1, static_cast<intptr>(copy.size()), copy.data()) == 1;
}

bool Vst2Instance::HasEditor() { return Alive() && (fx_.Effect()->flags & effFlagsHasEditor) != 0; }

bool Vst2Instance::EditorSize(int* width, int* height) {
    ERect* rect = nullptr;
    if (!Alive() || fx_.Dispatch(effEditGetRect, 0, 0, &rect) != 1 || rect == nullptr) return false;
    *width = rect->right - rect->left;
    *height = rect->bottom - rect->top;
    return true;
}

bool Vst2Instance::OpenEditor(void* parent) {
    if (!Alive() || editorOpen_) return false;
    editorOpen_ = fx_.Dispatch(effEditOpen, 0, 0, parent) == 1;
    return editorOpen_;
}

void Vst2Instance::IdleEditor() {
    if (Alive()) fx_.Dispatch(effEditIdle);
}

void Vst2Instance::CloseEditor() {
    if (!Alive() || !editorOpen_) return;
    fx_.Dispatch(effEditClose);
    editorOpen_ = false;
}

std::vector<HostEvent> Vst2Instance::HostEvents() {
    std::vector<HostEvent> events;
    for (const HostCallRecord& call : recorder_->Calls()) {
        switch (call.opcode) {
            case audioMasterBeginEdit:
                events.push_back({HostEvent::Type::kBeginEdit, call.index});
                break;
            case audioMasterAutomate:
                events.push_back({HostEvent::Type::kPerformEdit, call.index, call.opt});
                break;
            case audioMasterEndEdit:
                events.push_back({HostEvent::Type::kEndEdit, call.index});
                break;
            case audioMasterSizeWindow:
                events.push_back(
                    {HostEvent::Type::kResize, -1, 0, call.index, static_cast<int>(call.value)});
                break;
            default: break;
        }
    }
    return events;
}

void Vst2Instance::ClearHostEvents() { recorder_->ClearCalls(); }

void Vst2Instance::CloseAbruptly() {
    if (!Alive()) return;
    fx_.Dispatch(effClose);
    fx_ = HostedEffect(nullptr);
}

Vst2Module::Vst2Module(std::unique_ptr<VstModule> module) : module_(std::move(module)) {
    entry_ = module_->Entry("VSTPluginMain");
    if (entry_ == nullptr) entry_ = module_->Entry("main");
}

std::unique_ptr<PluginModule> Vst2Module::Load(const std::string& path, std::string* error) {
    std::unique_ptr<VstModule> module = VstModule::Load(path, error);
    if (module == nullptr) return nullptr;
    std::unique_ptr<Vst2Module> loaded(new Vst2Module(std::move(module)));
    if (loaded->entry_ == nullptr) {
        if (error != nullptr) *error = path + " exports neither VSTPluginMain nor main";
        return nullptr;
    }
    return loaded;
}

std::unique_ptr<PluginInstance> Vst2Module::CreateInstance() {
    std::unique_ptr<Vst2Instance> instance = CreateUnopened();
    if (instance != nullptr) instance->Open();
    return instance;
}

std::unique_ptr<Vst2Instance> Vst2Module::CreateUnopened(const char* entryName) {
    const EntryPoint entry =
        module_ != nullptr && entryName != nullptr ? module_->Entry(entryName) : entry_;
    if (entry == nullptr) return nullptr;
    auto recorder = std::make_unique<RecordingHost>();
    recorder->productString = HostName();
    AEffect* effect = recorder->Instantiate(entry);
    if (effect == nullptr) return nullptr;
    return std::make_unique<Vst2Instance>(effect, std::move(recorder), false);
}

}  // namespace host
