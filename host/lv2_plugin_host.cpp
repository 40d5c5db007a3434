#include "host/lv2_plugin_host.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/instance-access/instance-access.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "host/plugin_formats.h"
#include "host/probe_window.h"

namespace host {

namespace {

// Where an instance is made before a start names its rate and blocks.
constexpr double kFirstRate = 44100;
constexpr int kFirstBlock = 512;

// The program-state bytes' header: the magic "tffp" and version 1.0, little-endian words.
constexpr std::uint8_t kStateHeader[] = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool TakesBundle(const std::string& path) {
    return EndsWith(path, ".lv2") || EndsWith(path, ".lv2/");
}

std::unique_ptr<PluginModule> LoadLv2(const std::string& path, std::string* error) {
    return Lv2Module::Load(path, error);
}

std::string Format(const Lv2Control& control, float value) {
    char text[64];
    // The format was checked when the description was read: one double, nothing else.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
    std::snprintf(text, sizeof text, control.render.c_str(), static_cast<double>(value));
#pragma GCC diagnostic pop
    return text;
}

// A typed number as the plug-ins' value boxes read it: the leading decimal number, 0 without
// one; false for a number that is not finite.
bool ParseNumber(const std::string& text, double* value) {
    const char* at = text.c_str();
    while (*at == ' ' || (*at >= '\t' && *at <= '\r')) ++at;
    if (*at == '+') ++at;
    double v = 0;
    std::from_chars(at, text.c_str() + text.size(), v);
    if (!std::isfinite(v)) return false;
    *value = v;
    return true;
}

}  // namespace

const PluginFormat kLv2Format = {"LV2", &TakesBundle, &LoadLv2};

// --- Lv2Instance -------------------------------------------------------------------------------

Lv2Instance::Lv2Instance(Lv2Module& module) : module_(module) {
    for (const Lv2Control& c : module_.Description().controls)
        ports_.push_back(PortValue(c, c.defaultValue));
}

Lv2Instance::~Lv2Instance() {
    if (!abandoned_) Destroy();
}

const Lv2Control* Lv2Instance::Control(int index) const {
    const std::vector<Lv2Control>& controls = module_.Description().controls;
    return index >= 0 && index < static_cast<int>(controls.size()) ? &controls[index] : nullptr;
}

float Lv2Instance::PortValue(const Lv2Control& control, double plain) {
    if (control.integer) plain = std::floor(plain + 0.5);
    return static_cast<float>(std::min(std::max(plain, control.minimum), control.maximum));
}

void Lv2Instance::SetPort(int index, float value) {
    ports_[index] = value;
    const LV2UI_Descriptor* ui = module_.UiDescriptor();
    if (ui_ != nullptr && ui->port_event != nullptr)
        ui->port_event(ui_, Control(index)->port, sizeof(float), 0, &ports_[index]);
}

bool Lv2Instance::Instantiate(double sampleRate, int maxBlock) {
    const LV2_Descriptor* plugin = module_.PluginDescriptor();
    optionMaxBlock_ = maxBlock;
    optionMinBlock_ = 1;
    const LV2_URID atomInt = module_.Map(LV2_ATOM__Int);
    options_ = {{LV2_OPTIONS_INSTANCE, 0, module_.Map(LV2_BUF_SIZE__minBlockLength),
                 sizeof(int32_t), atomInt, &optionMinBlock_},
                {LV2_OPTIONS_INSTANCE, 0, module_.Map(LV2_BUF_SIZE__maxBlockLength),
                 sizeof(int32_t), atomInt, &optionMaxBlock_},
                {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr}};
    const LV2_Feature options = {LV2_OPTIONS__options, options_.data()};
    const LV2_Feature bounded = {LV2_BUF_SIZE__boundedBlockLength, nullptr};
    const LV2_Feature* features[] = {module_.UridMapFeature(), &options, &bounded, nullptr};
    handle_ =
        plugin->instantiate(plugin, sampleRate, module_.Description().bundle.c_str(), features);
    if (handle_ == nullptr) return false;
    rate_ = sampleRate;
    maxBlock_ = maxBlock;
    scratch_.assign(4 * static_cast<std::size_t>(maxBlock), 0.0f);
    for (std::size_t i = 0; i < ports_.size(); ++i)
        plugin->connect_port(handle_, module_.Description().controls[i].port, &ports_[i]);
    return true;
}

bool Lv2Instance::Instantiated() {
    if (handle_ != nullptr) return true;
    if (abandoned_) return false;
    return Instantiate(rate_ > 0 ? rate_ : kFirstRate, maxBlock_ > 0 ? maxBlock_ : kFirstBlock);
}

void Lv2Instance::Destroy() {
    CloseUi();
    Stop();
    if (handle_ != nullptr) module_.PluginDescriptor()->cleanup(handle_);
    handle_ = nullptr;
}

std::string Lv2Instance::Name() { return module_.Description().name; }

std::string Lv2Instance::Vendor() { return module_.Description().vendor; }

std::string Lv2Instance::Version() { return module_.Description().version; }

bool Lv2Instance::Start(double sampleRate, int maxBlock) {
    if (abandoned_ || maxBlock < 1 || !(sampleRate > 0)) return false;
    Stop();
    if (handle_ == nullptr || sampleRate != rate_ || maxBlock > maxBlock_) {
        // The rate is the instance's for its life: a new one, its UI brought back.
        void* parent = ui_ != nullptr ? uiParent_ : nullptr;
        Destroy();
        if (!Instantiate(sampleRate, maxBlock)) return false;
        if (parent != nullptr) OpenUi(parent);
    }
    module_.PluginDescriptor()->activate(handle_);
    active_ = true;
    return true;
}

void Lv2Instance::Stop() {
    if (!active_) return;
    module_.PluginDescriptor()->deactivate(handle_);
    active_ = false;
}

bool Lv2Instance::SetChannels(int channels) { return channels == 2 && !active_; }

int Lv2Instance::ParamCount() { return static_cast<int>(ports_.size()); }

std::string Lv2Instance::ParamName(int index) {
    const Lv2Control* c = Control(index);
    return c != nullptr ? c->name : "";
}

std::string Lv2Instance::ParamLabel(int index) {
    const Lv2Control* c = Control(index);
    return c != nullptr ? c->symbolText : "";
}

std::string Lv2Instance::ParamDisplay(int index) {
    const Lv2Control* c = Control(index);
    return c != nullptr ? Format(*c, ports_[index]) : "";
}

bool Lv2Instance::ParamDisplayOf(int index, double normalized, std::string* text) {
    const Lv2Control* c = Control(index);
    if (c == nullptr || text == nullptr || !std::isfinite(normalized)) return false;
    normalized = std::min(std::max(normalized, 0.0), 1.0);
    *text = Format(*c, PortValue(*c, normalized * (c->maximum - c->minimum) + c->minimum));
    return true;
}

double Lv2Instance::GetParam(int index) {
    const Lv2Control* c = Control(index);
    if (c == nullptr) return 0.0;
    const double x = (ports_[index] - c->minimum) / (c->maximum - c->minimum);
    return std::min(std::max(x, 0.0), 1.0);
}

void Lv2Instance::SetParam(int index, double normalized) {
    const Lv2Control* c = Control(index);
    // A host sends none of these: its controls hold values within their ranges.
    if (c == nullptr || !std::isfinite(normalized)) return;
    normalized = std::min(std::max(normalized, 0.0), 1.0);
    SetPort(index, PortValue(*c, normalized * (c->maximum - c->minimum) + c->minimum));
}

bool Lv2Instance::SetParamAt(int, double, int) { return false; }

bool Lv2Instance::SetParamFromText(int index, const std::string& text) {
    const Lv2Control* c = Control(index);
    double plain = 0;
    if (c == nullptr || !ParseNumber(text, &plain)) return false;
    SetPort(index, PortValue(*c, plain));
    return true;
}

void Lv2Instance::Run(float* const* inputs, float* const* outputs, int frames) {
    const LV2_Descriptor* plugin = module_.PluginDescriptor();
    const Lv2Description& d = module_.Description();
    for (int done = 0; done < frames;) {
        const int n = std::min(frames - done, maxBlock_);
        for (std::size_t c = 0; c < d.audioInputs.size() && c < 2; ++c)
            plugin->connect_port(handle_, d.audioInputs[c], inputs[c] + done);
        for (std::size_t c = 0; c < d.audioOutputs.size() && c < 2; ++c)
            plugin->connect_port(handle_, d.audioOutputs[c], outputs[c] + done);
        plugin->run(handle_, static_cast<uint32_t>(n));
        done += n;
    }
}

void Lv2Instance::Process(float* const* inputs, float* const* outputs, int frames) {
    // An instance runs only while it is active.
    if (!active_ || frames <= 0) return;
    Run(inputs, outputs, frames);
}

void Lv2Instance::Process(double* const* inputs, double* const* outputs, int frames) {
    if (!active_ || frames <= 0) return;
    // LV2's audio ports carry floats: the host converts, as a double-precision host must.
    float* in[] = {scratch_.data(), scratch_.data() + maxBlock_};
    float* out[] = {scratch_.data() + 2 * maxBlock_, scratch_.data() + 3 * maxBlock_};
    for (int done = 0; done < frames;) {
        const int n = std::min(frames - done, maxBlock_);
        for (int c = 0; c < 2; ++c) {
            for (int s = 0; s < n; ++s) in[c][s] = static_cast<float>(inputs[c][done + s]);
        }
        Run(in, out, n);
        for (int c = 0; c < 2; ++c) {
            for (int s = 0; s < n; ++s) outputs[c][done + s] = out[c][s];
        }
        done += n;
    }
}

Bytes Lv2Instance::SaveState() {
    Bytes state(std::begin(kStateHeader), std::end(kStateHeader));
    for (float value : ports_) {
        const double v = value;
        std::uint8_t raw[sizeof v];
        std::memcpy(raw, &v, sizeof v);
        state.insert(state.end(), raw, raw + sizeof v);
    }
    return state;
}

bool Lv2Instance::LoadState(const Bytes& state) {
    const std::size_t header = sizeof kStateHeader;
    if (state.size() != header + 8 * ports_.size() ||
        !std::equal(std::begin(kStateHeader), std::end(kStateHeader), state.begin())) {
        return false;
    }
    std::vector<double> values(ports_.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::memcpy(&values[i], state.data() + header + 8 * i, 8);
        if (!std::isfinite(values[i])) return false;
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int index = static_cast<int>(i);
        SetPort(index, PortValue(*Control(index), values[i]));
    }
    return true;
}

bool Lv2Instance::HasEditor() {
    int width = 0, height = 0;
    return EditorSize(&width, &height);
}

bool Lv2Instance::EditorSize(int* width, int* height) {
    if (module_.UiDescriptor() == nullptr) return false;
    if (module_.UiSize(width, height)) return true;
    if (ui_ != nullptr || !Instantiated()) return false;
    const std::unique_ptr<ProbeWindow> window = ProbeWindow::Create();
    if (window == nullptr) return false;
    probing_ = true;
    if (OpenUi(window->Handle())) CloseUi();
    probing_ = false;
    return module_.UiSize(width, height);
}

bool Lv2Instance::OpenEditor(void* parent) {
    if (ui_ != nullptr || !Instantiated()) return false;
    return OpenUi(parent);
}

bool Lv2Instance::OpenUi(void* parent) {
    const LV2UI_Descriptor* ui = module_.UiDescriptor();
    if (ui == nullptr || handle_ == nullptr) return false;
    touch_ = {this, &TouchFromUi};
    resize_ = {this, &ResizeFromUi};
    const LV2_Feature instanceAccess = {LV2_INSTANCE_ACCESS_URI, handle_};
    const LV2_Feature parentWindow = {LV2_UI__parent, parent};
    const LV2_Feature idle = {LV2_UI__idleInterface, nullptr};
    const LV2_Feature touch = {LV2_UI__touch, &touch_};
    const LV2_Feature resize = {LV2_UI__resize, &resize_};
    const LV2_Feature* features[] = {
        module_.UridMapFeature(), &instanceAccess, &parentWindow, &idle, &touch, &resize, nullptr};
    LV2UI_Widget widget = nullptr;
    const Lv2Description& d = module_.Description();
    ui_ =
        ui->instantiate(ui, d.uri.c_str(), d.bundle.c_str(), &WriteFromUi, this, &widget, features);
    if (ui_ == nullptr) return false;
    uiParent_ = parent;
    uiIdle_ =
        ui->extension_data != nullptr
            ? static_cast<const LV2UI_Idle_Interface*>(ui->extension_data(LV2_UI__idleInterface))
            : nullptr;
    // A new UI hears every port's value, as hosts tell it.
    for (int i = 0; i < ParamCount(); ++i) SetPort(i, ports_[i]);
    return true;
}

void Lv2Instance::IdleEditor() {
    if (ui_ != nullptr && uiIdle_ != nullptr) uiIdle_->idle(ui_);
}

void Lv2Instance::CloseEditor() { CloseUi(); }

void Lv2Instance::CloseUi() {
    if (ui_ == nullptr) return;
    module_.UiDescriptor()->cleanup(ui_);
    ui_ = nullptr;
    uiIdle_ = nullptr;
    uiParent_ = nullptr;
}

std::vector<HostEvent> Lv2Instance::HostEvents() { return record_.Events(); }

void Lv2Instance::ClearHostEvents() { record_.Clear(); }

void Lv2Instance::CloseAbruptly() {
    if (abandoned_) return;
    // The plug-in goes with its UI open and processing running; the UI went with it.
    if (handle_ != nullptr) module_.PluginDescriptor()->cleanup(handle_);
    handle_ = nullptr;
    ui_ = nullptr;
    uiIdle_ = nullptr;
    active_ = false;
    abandoned_ = true;
}

int Lv2Instance::ControlOfPort(uint32_t port) const {
    for (int i = 0; i < static_cast<int>(ports_.size()); ++i) {
        if (module_.Description().controls[i].port == port) return i;
    }
    return -1;
}

void Lv2Instance::WriteFromUi(LV2UI_Controller controller, uint32_t port, uint32_t size,
                              uint32_t protocol, const void* buffer) {
    auto* self = static_cast<Lv2Instance*>(controller);
    const int index = self->ControlOfPort(port);
    // Only control values (protocol 0, one float) are written to this plug-in's ports.
    if (index < 0 || protocol != 0 || size != sizeof(float) || buffer == nullptr) return;
    float value;
    std::memcpy(&value, buffer, sizeof value);
    self->ports_[index] = value;
    const Lv2Control& c = *self->Control(index);
    self->record_.Add(
        {HostEvent::Type::kPerformEdit, index, (value - c.minimum) / (c.maximum - c.minimum)});
}

void Lv2Instance::TouchFromUi(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed) {
    auto* self = static_cast<Lv2Instance*>(handle);
    const int index = self->ControlOfPort(port);
    if (index < 0) return;
    self->record_.Add({grabbed ? HostEvent::Type::kBeginEdit : HostEvent::Type::kEndEdit, index});
}

int Lv2Instance::ResizeFromUi(LV2UI_Feature_Handle handle, int width, int height) {
    auto* self = static_cast<Lv2Instance*>(handle);
    self->module_.SetUiSize(width, height);
    if (!self->probing_) self->record_.Add({HostEvent::Type::kResize, -1, 0, width, height});
    return 0;
}

// --- Lv2Module ---------------------------------------------------------------------------------

Lv2Module::Lv2Module() {
    uridMap_ = {this, &MapUri};
    uridMapFeature_ = {LV2_URID__map, &uridMap_};
}

std::unique_ptr<PluginModule> Lv2Module::Load(const std::string& path, std::string* error) {
    std::unique_ptr<Lv2Module> module(new Lv2Module());
    if (!ReadLv2Description(path, &module->description_, error)) return nullptr;
    const Lv2Description& d = module->description_;
    module->binary_ = SharedLibrary::Open(d.binary, error);
    if (module->binary_ == nullptr) return nullptr;
    auto plugin =
        reinterpret_cast<LV2_Descriptor_Function>(module->binary_->Symbol("lv2_descriptor"));
    LV2UI_DescriptorFunction ui = nullptr;
    if (!d.uiUri.empty()) {
        const SharedLibrary* uiBinary = module->binary_.get();
        if (d.uiBinary != d.binary) {
            module->uiBinary_ = SharedLibrary::Open(d.uiBinary, error);
            uiBinary = module->uiBinary_.get();
        }
        if (uiBinary != nullptr)
            ui = reinterpret_cast<LV2UI_DescriptorFunction>(uiBinary->Symbol("lv2ui_descriptor"));
    }
    if (!module->Bind(plugin, ui, error)) return nullptr;
    return module;
}

std::unique_ptr<Lv2Module> Lv2Module::Linked(const std::string& path,
                                             LV2_Descriptor_Function plugin,
                                             LV2UI_DescriptorFunction ui, std::string* error) {
    std::unique_ptr<Lv2Module> module(new Lv2Module());
    if (!ReadLv2Description(path, &module->description_, error) ||
        !module->Bind(plugin, ui, error)) {
        return nullptr;
    }
    return module;
}

bool Lv2Module::Bind(LV2_Descriptor_Function plugin, LV2UI_DescriptorFunction ui,
                     std::string* error) {
    const Lv2Description& d = description_;
    for (uint32_t i = 0; plugin != nullptr && plugin_ == nullptr; ++i) {
        const LV2_Descriptor* found = plugin(i);
        if (found == nullptr) break;
        if (found->URI != nullptr && d.uri == found->URI) plugin_ = found;
    }
    if (plugin_ == nullptr) {
        if (error != nullptr) *error = d.binary + " has no plug-in " + d.uri;
        return false;
    }
    for (uint32_t i = 0; ui != nullptr && ui_ == nullptr; ++i) {
        const LV2UI_Descriptor* found = ui(i);
        if (found == nullptr) break;
        if (found->URI != nullptr && d.uiUri == found->URI) ui_ = found;
    }
    return true;
}

std::unique_ptr<PluginInstance> Lv2Module::CreateInstance() {
    return std::make_unique<Lv2Instance>(*this);
}

uint32_t Lv2Module::Map(const char* uri) { return MapUri(this, uri); }

LV2_URID Lv2Module::MapUri(LV2_URID_Map_Handle handle, const char* uri) {
    auto* self = static_cast<Lv2Module*>(handle);
    if (uri == nullptr) return 0;
    std::lock_guard<std::mutex> guard(self->mutex_);
    const auto found = std::find(self->uris_.begin(), self->uris_.end(), uri);
    if (found != self->uris_.end()) return static_cast<LV2_URID>(found - self->uris_.begin() + 1);
    self->uris_.push_back(uri);
    return static_cast<LV2_URID>(self->uris_.size());
}

bool Lv2Module::UiSize(int* width, int* height) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (uiWidth_ <= 0 || uiHeight_ <= 0) return false;
    *width = uiWidth_;
    *height = uiHeight_;
    return true;
}

void Lv2Module::SetUiSize(int width, int height) {
    std::lock_guard<std::mutex> guard(mutex_);
    uiWidth_ = width;
    uiHeight_ = height;
}

}  // namespace host
