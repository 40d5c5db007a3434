#include "host/clap_plugin_host.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "host/clap_host_calls.h"
#include "host/descriptor_poll.h"
#include "host/plugin_formats.h"

using namespace clap;

namespace host {

namespace {

constexpr std::size_t kMaxPending = 1024;
constexpr std::size_t kMaxRecord = 4096;
// The timers and descriptors the host takes (reserved: registrations fill no more).
constexpr std::size_t kMaxTimers = 16;
constexpr std::size_t kMaxFds = 16;
// The host's state streams move at most this many bytes a call, as hosts with small buffers
// do, so that a plug-in reading or writing its state in one go fails here first.
constexpr std::uint64_t kStreamPiece = 13;

bool TakesClapPath(const std::string& path) {
    const std::string suffix = ".clap";
    return path.size() > suffix.size() &&
           path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::unique_ptr<PluginModule> LoadClap(const std::string& path, std::string* error) {
    return ClapModule::Load(path, error);
}

void SetData(clap_audio_buffer& buffer, float* const* channels) {
    buffer.data32 = const_cast<float**>(channels);
}
void SetData(clap_audio_buffer& buffer, double* const* channels) {
    buffer.data64 = const_cast<double**>(channels);
}

template <typename Sample>
void Silence(Sample* const* outputs, int frames) {
    for (int c = 0; c < 2; ++c) std::fill(outputs[c], outputs[c] + frames, Sample(0));
}

using EventVector = std::vector<clap_event_param_value>;

std::uint32_t ListSize(const clap_input_events* list) {
    return static_cast<std::uint32_t>(static_cast<const EventVector*>(list->ctx)->size());
}

const clap_event_header* ListGet(const clap_input_events* list, std::uint32_t index) {
    const auto& events = *static_cast<const EventVector*>(list->ctx);
    return index < events.size() ? &events[index].header : nullptr;
}

struct ByteSink {
    Bytes* bytes;
};

std::int64_t WriteBytes(const clap_ostream* stream, const void* data, std::uint64_t size) {
    const std::uint64_t n = std::min(size, kStreamPiece);
    const auto* p = static_cast<const std::uint8_t*>(data);
    Bytes& bytes = *static_cast<ByteSink*>(stream->ctx)->bytes;
    bytes.insert(bytes.end(), p, p + n);
    return static_cast<std::int64_t>(n);
}

struct ByteSource {
    const Bytes* bytes;
    std::size_t at;
};

std::int64_t ReadBytes(const clap_istream* stream, void* data, std::uint64_t size) {
    auto& source = *static_cast<ByteSource*>(stream->ctx);
    const std::uint64_t n =
        std::min({size, kStreamPiece, std::uint64_t(source.bytes->size() - source.at)});
    if (n == 0) return 0;
    std::memcpy(data, source.bytes->data() + source.at, n);
    source.at += n;
    return static_cast<std::int64_t>(n);
}

}  // namespace

const PluginFormat kClapFormat = {"CLAP", &TakesClapPath, &LoadClap};

ClapInstance::ClapInstance(const std::string& hostName)
    : hostName_(hostName), mainThread_(std::this_thread::get_id()) {
    host_ = ClapHostCalls::Host(this, hostName_.c_str());
    pending_.reserve(kMaxPending);
    record_.reserve(kMaxRecord);
    timers_.reserve(kMaxTimers);
    fds_.reserve(kMaxFds);
}

std::unique_ptr<ClapInstance> ClapInstance::Create(const clap_plugin_factory& factory,
                                                   const char* pluginId,
                                                   const std::string& hostName) {
    std::unique_ptr<ClapInstance> in(new ClapInstance(hostName));
    if (factory.create_plugin == nullptr) return nullptr;
    const clap_plugin* plugin = factory.create_plugin(&factory, &in->host_, pluginId);
    if (plugin == nullptr) return nullptr;
    if (plugin->init == nullptr || !plugin->init(plugin)) {
        plugin->destroy(plugin);
        return nullptr;
    }
    in->plugin_ = plugin;
    in->params_ = static_cast<const clap_plugin_params*>(in->Extension(kExtParams));
    in->state_ = static_cast<const clap_plugin_state*>(in->Extension(kExtState));
    in->gui_ = static_cast<const clap_plugin_gui*>(in->Extension(kExtGui));
    in->timerExt_ = static_cast<const clap_plugin_timer_support*>(in->Extension(kExtTimerSupport));
    in->fdExt_ =
        static_cast<const clap_plugin_posix_fd_support*>(in->Extension(kExtPosixFdSupport));
    const std::uint32_t count = in->params_ != nullptr ? in->params_->count(plugin) : 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        clap_param_info info{};
        if (in->params_->get_info(plugin, i, &info)) in->infos_.push_back(info);
    }
    return in;
}

ClapInstance::~ClapInstance() {
    if (!Alive()) return;
    CloseEditor();
    Stop();
    plugin_->destroy(plugin_);
    plugin_ = nullptr;
}

const void* ClapInstance::Extension(const char* id) const {
    return Alive() && plugin_->get_extension != nullptr ? plugin_->get_extension(plugin_, id)
                                                        : nullptr;
}

std::string ClapInstance::Name() { return Alive() && plugin_->desc ? plugin_->desc->name : ""; }

std::string ClapInstance::Vendor() {
    return Alive() && plugin_->desc && plugin_->desc->vendor ? plugin_->desc->vendor : "";
}

std::string ClapInstance::Version() {
    return Alive() && plugin_->desc && plugin_->desc->version_text ? plugin_->desc->version_text
                                                                   : "";
}

bool ClapInstance::Start(double sampleRate, int maxBlock) {
    if (!Alive()) return false;
    Stop();
    if (maxBlock < 1 ||
        !plugin_->activate(plugin_, sampleRate, 1, static_cast<std::uint32_t>(maxBlock))) {
        return false;
    }
    active_ = true;
    inAudioCall_ = true;
    const bool started = plugin_->start_processing(plugin_);
    inAudioCall_ = false;
    if (!started) {
        plugin_->deactivate(plugin_);
        active_ = false;
        return false;
    }
    processing_ = true;
    maxBlock_ = maxBlock;
    return true;
}

void ClapInstance::Stop() {
    if (!Alive()) return;
    if (processing_) {
        inAudioCall_ = true;
        plugin_->stop_processing(plugin_);
        inAudioCall_ = false;
        processing_ = false;
    }
    Deliver();
    if (active_) {
        plugin_->deactivate(plugin_);
        active_ = false;
    }
    if (flushRequested_.exchange(false)) Flush();
}

// The plug-in has one stereo port each way.
bool ClapInstance::SetChannels(int channels) { return Alive() && !processing_ && channels == 2; }

int ClapInstance::ParamCount() { return static_cast<int>(infos_.size()); }

std::string ClapInstance::ParamName(int index) {
    return ValidParam(index) ? infos_[index].name : "";
}

std::string ClapInstance::ParamLabel(int index) { return ParamName(index); }

double ClapInstance::Plain(int index, double normalized) const {
    const clap_param_info& info = infos_[index];
    const double v = normalized * (info.max_value - info.min_value) + info.min_value;
    return (info.flags & CLAP_PARAM_IS_STEPPED) != 0 ? std::floor(v + 0.5) : v;
}

double ClapInstance::Normalized(int index, double plain) const {
    const clap_param_info& info = infos_[index];
    return (plain - info.min_value) / (info.max_value - info.min_value);
}

double ClapInstance::PlainValue(int index) {
    Deliver();
    double v = infos_[index].min_value;
    if (params_ != nullptr) params_->get_value(plugin_, infos_[index].id, &v);
    return v;
}

std::string ClapInstance::ParamDisplay(int index) {
    if (!Alive() || !ValidParam(index)) return "";
    const double v = PlainValue(index);
    char text[256] = "";
    params_->value_to_text(plugin_, infos_[index].id, v, text, sizeof(text));
    return text;
}

bool ClapInstance::ParamDisplayOf(int index, double normalized, std::string* text) {
    if (!Alive() || !ValidParam(index)) return false;
    char buffer[256] = "";
    if (!params_->value_to_text(plugin_, infos_[index].id, Plain(index, normalized), buffer,
                                sizeof(buffer))) {
        return false;
    }
    *text = buffer;
    return true;
}

double ClapInstance::GetParam(int index) {
    return Alive() && ValidParam(index) ? Normalized(index, PlainValue(index)) : 0.0;
}

void ClapInstance::SetParam(int index, double normalized) {
    if (Alive() && ValidParam(index) && std::isfinite(normalized)) {
        Send(index, Plain(index, normalized), 0);
    }
}

bool ClapInstance::SetParamAt(int index, double normalized, int offset) {
    if (Alive() && ValidParam(index) && std::isfinite(normalized)) {
        Send(index, Plain(index, normalized), offset);
    }
    return true;
}

bool ClapInstance::SetParamFromText(int index, const std::string& text) {
    if (!Alive() || !ValidParam(index)) return false;
    double v = 0;
    if (!params_->text_to_value(plugin_, infos_[index].id, text.c_str(), &v)) return false;
    Send(index, v, 0);
    return true;
}

void ClapInstance::SendPlain(int index, double plain, int offset) {
    if (Alive()) Send(index, plain, offset);
}

void ClapInstance::Send(int index, double plain, int offset) {
    clap_event_param_value event{};
    event.header = {sizeof(event), static_cast<std::uint32_t>(std::max(offset, 0)),
                    kCoreEventSpaceId, CLAP_EVENT_PARAM_VALUE, 0};
    event.param_id = ValidParam(index) ? infos_[index].id : static_cast<clap_id>(index);
    event.cookie = ValidParam(index) ? infos_[index].cookie : nullptr;
    event.note_id = -1;
    event.port_index = -1;
    event.channel = -1;
    event.key = -1;
    event.value = plain;
    if (pending_.size() == pending_.capacity()) Flush();
    pending_.push_back(event);
    if (!processing_) Flush();
}

void ClapInstance::Deliver() {
    if (!pending_.empty()) Flush();
}

void ClapInstance::Flush() {
    if (Alive() && params_ != nullptr && params_->flush != nullptr) {
        const clap_input_events in = {&pending_, &ListSize, &ListGet};
        const clap_output_events out = {this, &ClapHostCalls::Push};
        // Between blocks while active, a flush runs where process runs.
        inAudioCall_ = active_;
        params_->flush(plugin_, &in, &out);
        inAudioCall_ = false;
    }
    pending_.clear();
}

void ClapInstance::Process(float* const* inputs, float* const* outputs, int frames) {
    ProcessBlocks(inputs, outputs, frames);
}

void ClapInstance::Process(double* const* inputs, double* const* outputs, int frames) {
    ProcessBlocks(inputs, outputs, frames);
}

template <typename Sample>
void ClapInstance::ProcessBlocks(Sample* const* inputs, Sample* const* outputs, int frames) {
    if (!Alive() || frames < 1) {
        Deliver();
        return;
    }
    // A host calls no process while the plug-in is not processing: its output is silence.
    if (!processing_) {
        Silence(outputs, frames);
        Deliver();
        return;
    }
    // No block longer than the plug-in was promised.
    for (int done = 0; done < frames;) {
        const int n = std::min(frames - done, maxBlock_);
        Sample* in[] = {inputs[0] + done, inputs[1] + done};
        Sample* out[] = {outputs[0] + done, outputs[1] + done};
        ProcessOne(in, out, n);
        done += n;
    }
}

template <typename Sample>
void ClapInstance::ProcessOne(Sample* const* inputs, Sample* const* outputs, int frames) {
    // The events in time order within the block, as the list must hold them (a stable
    // insertion sort: no memory).
    for (auto& event : pending_) {
        event.header.time = std::min(event.header.time, static_cast<std::uint32_t>(frames - 1));
    }
    for (std::size_t i = 1; i < pending_.size(); ++i) {
        const clap_event_param_value event = pending_[i];
        std::size_t j = i;
        for (; j > 0 && pending_[j - 1].header.time > event.header.time; --j) {
            pending_[j] = pending_[j - 1];
        }
        pending_[j] = event;
    }
    clap_audio_buffer in{}, out{};
    SetData(in, inputs);
    SetData(out, outputs);
    in.channel_count = out.channel_count = 2;
    const clap_input_events inEvents = {&pending_, &ListSize, &ListGet};
    const clap_output_events outEvents = {this, &ClapHostCalls::Push};
    clap_process process{};
    process.steady_time = steadyTime_;
    process.frames_count = static_cast<std::uint32_t>(frames);
    process.audio_inputs = &in;
    process.audio_outputs = &out;
    process.audio_inputs_count = 1;
    process.audio_outputs_count = 1;
    process.in_events = &inEvents;
    process.out_events = &outEvents;
    inAudioCall_ = true;
    const clap_process_status status = plugin_->process(plugin_, &process);
    inAudioCall_ = false;
    pending_.clear();
    steadyTime_ += frames;
    // The plug-in's output is discarded after an error.
    if (status == CLAP_PROCESS_ERROR) Silence(outputs, frames);
}

bool ClapInstance::Record(const clap_event_header& event) {
    if (event.space_id != kCoreEventSpaceId) return true;
    HostEvent record{HostEvent::Type::kPerformEdit};
    clap_id id = kInvalidId;
    if ((event.type == CLAP_EVENT_PARAM_GESTURE_BEGIN ||
         event.type == CLAP_EVENT_PARAM_GESTURE_END) &&
        event.size >= sizeof(clap_event_param_gesture)) {
        clap_event_param_gesture gesture;
        std::memcpy(&gesture, &event, sizeof(gesture));
        id = gesture.param_id;
        record.type = event.type == CLAP_EVENT_PARAM_GESTURE_BEGIN ? HostEvent::Type::kBeginEdit
                                                                   : HostEvent::Type::kEndEdit;
    } else if (event.type == CLAP_EVENT_PARAM_VALUE &&
               event.size >= sizeof(clap_event_param_value)) {
        clap_event_param_value value;
        std::memcpy(&value, &event, sizeof(value));
        id = value.param_id;
        record.value = value.value;
    } else {
        return true;
    }
    for (std::size_t i = 0; i < infos_.size(); ++i) {
        if (infos_[i].id == id) record.index = static_cast<int>(i);
    }
    if (record.type == HostEvent::Type::kPerformEdit && record.index >= 0) {
        record.value = Normalized(record.index, record.value);
    }
    std::lock_guard<std::mutex> guard(recordMutex_);
    if (record_.size() >= record_.capacity()) return false;
    record_.push_back(record);
    return true;
}

Bytes ClapInstance::SaveState() {
    if (!Alive() || state_ == nullptr) return {};
    Deliver();
    Bytes bytes;
    ByteSink sink{&bytes};
    const clap_ostream stream = {&sink, &WriteBytes};
    if (!state_->save(plugin_, &stream)) return {};
    return bytes;
}

bool ClapInstance::LoadState(const Bytes& state) {
    if (!Alive() || state_ == nullptr) return false;
    Deliver();
    ByteSource source{&state, 0};
    const clap_istream stream = {&source, &ReadBytes};
    return state_->load(plugin_, &stream);
}

bool ClapInstance::CreateGui(const char** api) {
    bool floating = false;
    return HasEditor() && gui_->get_preferred_api(plugin_, api, &floating) &&
           gui_->create(plugin_, *api, false);
}

bool ClapInstance::HasEditor() {
    const char* api = nullptr;
    bool floating = false;
    return Alive() && gui_ != nullptr && gui_->get_preferred_api(plugin_, &api, &floating) &&
           gui_->is_api_supported(plugin_, api, false);
}

bool ClapInstance::EditorSize(int* width, int* height) {
    if (!HasEditor()) return false;
    // The size is asked of a created gui; a host that has none open makes one for the question.
    const char* api = nullptr;
    const bool made = !editorOpen_ && CreateGui(&api);
    if (!editorOpen_ && !made) return false;
    std::uint32_t w = 0, h = 0;
    const bool sized = gui_->get_size(plugin_, &w, &h);
    if (made) gui_->destroy(plugin_);
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return sized;
}

bool ClapInstance::OpenEditor(void* parent) {
    const char* api = nullptr;
    if (!Alive() || editorOpen_ || !CreateGui(&api)) return false;
    // The embedding order hosts follow.
    gui_->set_scale(plugin_, editorScale_ > 0.0 ? editorScale_ : 1.0);
    gui_->can_resize(plugin_);
    std::uint32_t width = 0, height = 0;
    gui_->get_size(plugin_, &width, &height);
    clap_window window{};
    window.api = api;
    if (std::strcmp(api, kWindowApiX11) == 0) {
        window.x11 = static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(parent));
    } else {
        window.ptr = parent;
    }
    if (!gui_->set_parent(plugin_, &window)) {
        gui_->destroy(plugin_);
        return false;
    }
    gui_->show(plugin_);
    editorOpen_ = true;
    return true;
}

bool ClapInstance::SetEditorScale(double factor) {
    editorScale_ = factor;
    return true;
}

void ClapInstance::IdleEditor() {
    if (!Alive()) return;
    if (callbackRequested_.exchange(false)) plugin_->on_main_thread(plugin_);
    // Each handler may register or unregister: the loop works from what was registered now.
    const std::vector<Fd> fds = fds_;
    for (const Fd& fd : fds) {
        if (!Alive()) return;
        const std::uint32_t ready = PollDescriptor(fd.fd, fd.flags);
        const bool registered = ClapHostCalls::Find(fds_, fd.fd) != fds_.end();
        if (ready != 0 && registered && fdExt_ != nullptr) fdExt_->on_fd(plugin_, fd.fd, ready);
    }
    const auto now = std::chrono::steady_clock::now();
    const std::vector<Timer> timers = timers_;
    for (const Timer& timer : timers) {
        if (!Alive()) return;
        auto found = std::find_if(timers_.begin(), timers_.end(),
                                  [&](const Timer& t) { return t.id == timer.id; });
        if (timer.due > now || found == timers_.end()) continue;
        found->due = now + found->period;
        if (timerExt_ != nullptr) timerExt_->on_timer(plugin_, timer.id);
    }
    if (flushRequested_.exchange(false) && !processing_) Flush();
}

void ClapInstance::CloseEditor() {
    if (!Alive() || !editorOpen_) return;
    gui_->hide(plugin_);
    gui_->destroy(plugin_);
    editorOpen_ = false;
}

std::vector<HostEvent> ClapInstance::HostEvents() {
    std::lock_guard<std::mutex> guard(recordMutex_);
    return record_;
}

void ClapInstance::ClearHostEvents() {
    std::lock_guard<std::mutex> guard(recordMutex_);
    record_.clear();
}

void ClapInstance::CloseAbruptly() {
    if (!Alive()) return;
    plugin_->destroy(plugin_);
    Forget();
}

void ClapInstance::Forget() {
    plugin_ = nullptr;
    params_ = nullptr;
    state_ = nullptr;
    gui_ = nullptr;
    timerExt_ = nullptr;
    fdExt_ = nullptr;
    active_ = processing_ = editorOpen_ = false;
    pending_.clear();
    timers_.clear();
    fds_.clear();
}

std::unique_ptr<PluginModule> ClapModule::Load(const std::string& path, std::string* error) {
    std::unique_ptr<SharedLibrary> library = SharedLibrary::Open(path, error);
    if (library == nullptr) return nullptr;
    const auto* entry = static_cast<const clap_plugin_entry*>(library->Symbol("clap_entry"));
    if (entry == nullptr) {
        if (error != nullptr) *error = path + " exports no clap_entry";
        return nullptr;
    }
    std::unique_ptr<ClapModule> module(new ClapModule());
    module->library_ = std::move(library);
    if (!module->Open(entry, path, error)) return nullptr;
    return module;
}

std::unique_ptr<PluginModule> ClapModule::FromEntry(const clap_plugin_entry* entry,
                                                    std::string* error) {
    std::unique_ptr<ClapModule> module(new ClapModule());
    if (entry == nullptr || !module->Open(entry, "", error)) return nullptr;
    return module;
}

bool ClapModule::Open(const clap_plugin_entry* entry, const std::string& path, std::string* error) {
    auto fail = [&](const std::string& reason) {
        if (error != nullptr) *error = reason;
        return false;
    };
    if (!IsCompatible(entry->version)) return fail("its CLAP version is not 1.x");
    if (entry->init == nullptr || !entry->init(path.c_str())) return fail("its init failed");
    entry_ = entry;
    initialised_ = true;
    factory_ = static_cast<const clap_plugin_factory*>(entry->get_factory(kPluginFactoryId));
    if (factory_ == nullptr) return fail("it has no plug-in factory");
    if (factory_->get_plugin_count(factory_) < 1) return fail("its factory has no plug-in");
    descriptor_ = factory_->get_plugin_descriptor(factory_, 0);
    if (descriptor_ == nullptr || descriptor_->id == nullptr) {
        return fail("its first plug-in has no descriptor");
    }
    return true;
}

ClapModule::~ClapModule() {
    if (initialised_ && entry_->deinit != nullptr) entry_->deinit();
}

std::unique_ptr<PluginInstance> ClapModule::CreateInstance() {
    return ClapInstance::Create(*factory_, descriptor_->id, HostName());
}

}  // namespace host
