// Audio and events: process with the parameter changes at their sample times and the panel's
// gestures out, flush between blocks, and the audio ports, latency and tail the host plans with.
// Nothing here allocates: the changes and gestures live in fixed arrays of the plug-in.
#include <climits>
#include <cstring>

#include "clap/clap_extensions.h"
#include "clap/clap_plugin.h"
#include "plugin/text_copy.h"

using namespace clap;

namespace {

// How long the circuit's output stays above -120 dBFS once its input falls silent, at the
// settings that ring longest: 9.75 s at Volume 10 and Input 2 (whatever the Drive, Filter and
// Quality; 0.42 s at the defaults), measured after 2 s of a full-scale step, noise or sine.
constexpr double kTailSeconds = 10;

// The host's main ports as the effect's two channels each way, of one sample size.
struct Channels {
    float* in32[2];
    float* out32[2];
    double* in64[2];
    double* out64[2];
    bool wide;
};

template <typename Sample>
bool Pair(Sample* const* data, Sample* (&pair)[2]) {
    if (data == nullptr || data[0] == nullptr || data[1] == nullptr) return false;
    pair[0] = data[0];
    pair[1] = data[1];
    return true;
}

// False when the host's buffers are not what the ports declare: one port each way of at least
// two channels, both of 64 or both of 32 bits.
bool FindChannels(const clap_process& p, Channels* c) {
    if (p.audio_inputs_count < 1 || p.audio_outputs_count < 1 || p.audio_inputs == nullptr ||
        p.audio_outputs == nullptr) {
        return false;
    }
    const clap_audio_buffer& in = p.audio_inputs[0];
    const clap_audio_buffer& out = p.audio_outputs[0];
    if (in.channel_count < 2 || out.channel_count < 2) return false;
    c->wide = in.data64 != nullptr && out.data64 != nullptr;
    if (c->wide) return Pair(in.data64, c->in64) && Pair(out.data64, c->out64);
    return Pair(in.data32, c->in32) && Pair(out.data32, c->out32);
}

// Every output channel the host gave, silent.
void Silence(const clap_process& p) {
    if (p.audio_outputs == nullptr || p.frames_count > INT_MAX) return;
    for (std::uint32_t b = 0; b < p.audio_outputs_count; ++b) {
        const clap_audio_buffer& out = p.audio_outputs[b];
        for (std::uint32_t c = 0; c < out.channel_count; ++c) {
            if (out.data32 != nullptr && out.data32[c] != nullptr) {
                std::memset(out.data32[c], 0, sizeof(float) * p.frames_count);
            } else if (out.data64 != nullptr && out.data64[c] != nullptr) {
                std::memset(out.data64[c], 0, sizeof(double) * p.frames_count);
            }
        }
    }
}

int AsInt(std::uint32_t v) { return v <= INT_MAX ? static_cast<int>(v) : -1; }

clap_event_header Header(std::uint32_t size, std::uint16_t type) {
    return {size, 0, kCoreEventSpaceId, type, CLAP_EVENT_IS_LIVE};
}

ClapPlugin* Of(const clap_plugin* plugin) { return ClapPlugin::From(plugin); }

std::uint32_t PortCount(const clap_plugin* p, bool) { return Of(p) != nullptr ? 1 : 0; }

bool PortInfo(const clap_plugin* p, std::uint32_t index, bool isInput, clap_audio_port_info* info) {
    ClapPlugin* plug = Of(p);
    if (plug == nullptr || index != 0 || info == nullptr) return false;
    const int channels = isInput ? plug->NInputs() : plug->NOutputs();
    *info = {};
    info->id = 0;
    CopyText(info->name, sizeof(info->name), isInput ? "Stereo In" : "Stereo Out");
    info->flags = CLAP_AUDIO_PORT_IS_MAIN | CLAP_AUDIO_PORT_SUPPORTS_64BITS |
                  CLAP_AUDIO_PORT_REQUIRES_COMMON_SAMPLE_SIZE;
    info->channel_count = static_cast<std::uint32_t>(channels);
    info->port_type = kPortStereo;
    // The output may be the input's own buffers.
    info->in_place_pair = 0;
    return true;
}

std::uint32_t Latency(const clap_plugin* p) {
    return Of(p) != nullptr ? static_cast<std::uint32_t>(Of(p)->Latency()) : 0;
}

std::uint32_t Tail(const clap_plugin* p) { return Of(p) != nullptr ? Of(p)->TailSamples() : 0; }

}  // namespace

const clap_plugin_audio_ports kClapAudioPorts = {&PortCount, &PortInfo};
const clap_plugin_latency kClapLatency = {&Latency};
const clap_plugin_tail kClapTail = {&Tail};

clap_process_status ClapPlugin::Process(const clap_process& process) {
    LockGuard guard(lock);
    changes_.Clear();
    ReadParamEvents(process.in_events);
    Channels c{};
    const int frames = AsInt(process.frames_count);
    clap_process_status status = CLAP_PROCESS_CONTINUE;
    transport_ = process.transport;
    if (!active_ || frames < 0 || !FindChannels(process, &c)) {
        // Nothing to play into; the host's values still count.
        Silence(process);
        changes_.Process(*this, static_cast<double* const*>(nullptr), nullptr, 0);
        status = CLAP_PROCESS_ERROR;
    } else if (c.wide) {
        changes_.Process(*this, c.in64, c.out64, frames);
        process.audio_outputs[0].constant_mask = 0;
    } else {
        changes_.Process(*this, c.in32, c.out32, frames);
        process.audio_outputs[0].constant_mask = 0;
    }
    transport_ = nullptr;
    changes_.Clear();
    DrainGestures(process.out_events);
    return status;
}

void ClapPlugin::Flush(const clap_input_events* in, const clap_output_events* out) {
    LockGuard guard(lock);
    changes_.Clear();
    ReadParamEvents(in);
    changes_.Process(*this, static_cast<double* const*>(nullptr), nullptr, 0);
    changes_.Clear();
    DrainGestures(out);
}

void ClapPlugin::ReadParamEvents(const clap_input_events* in) {
    if (in == nullptr || in->size == nullptr || in->get == nullptr) return;
    const std::uint32_t count = in->size(in);
    for (std::uint32_t i = 0; i < count; ++i) {
        const clap_event_header* header = in->get(in, i);
        if (header == nullptr || header->space_id != kCoreEventSpaceId ||
            header->type != CLAP_EVENT_PARAM_VALUE ||
            header->size < sizeof(clap_event_param_value)) {
            continue;
        }
        // Copied out: a host's list need not keep its events aligned.
        clap_event_param_value event;
        std::memcpy(&event, header, sizeof(event));
        const int at = AsInt(event.header.time);
        changes_.AddPlain(at < 0 ? INT_MAX : at, AsInt(event.param_id), event.value);
    }
}

void ClapPlugin::DrainGestures(const clap_output_events* out) {
    if (out == nullptr || out->try_push == nullptr) return;
    gestures_.Drain([&](const ClapGestureQueue::Entry& entry) {
        const auto id = static_cast<clap_id>(entry.index);
        if (entry.kind == ClapGestureQueue::Kind::kValue) {
            clap_event_param_value event{};
            event.header = Header(sizeof(event), CLAP_EVENT_PARAM_VALUE);
            event.param_id = id;
            event.note_id = -1;
            event.port_index = -1;
            event.channel = -1;
            event.key = -1;
            event.value = entry.value;
            return out->try_push(out, &event.header);
        }
        clap_event_param_gesture event{};
        event.header = Header(sizeof(event), entry.kind == ClapGestureQueue::Kind::kBegin
                                                 ? CLAP_EVENT_PARAM_GESTURE_BEGIN
                                                 : CLAP_EVENT_PARAM_GESTURE_END);
        event.param_id = id;
        return out->try_push(out, &event.header);
    });
    if (gestures_.Empty()) flushAsked_ = false;
}

std::uint32_t ClapPlugin::TailSamples() const {
    return static_cast<std::uint32_t>(kTailSeconds * sampleRate + 0.5);
}
