// The audio processor: the two channel configurations, the setup, and process, which splits the
// block at every parameter point the host sent and runs the pieces through the effect. Nothing
// here allocates or takes a lock but the plug-in lock.
#include "adapter/host_audio.h"
#include "vst3/vst3_plugin.h"

using namespace vst3;

namespace {

// Below 1 kHz the coefficients overflow; no host runs above 1536 kHz.
constexpr double kMinSampleRate = 1000;
constexpr double kMaxSampleRate = 1536000;

int ChannelsOf(SpeakerArrangement arrangement) {
    if (arrangement == kSpeakerStereo) return 2;
    if (arrangement == kSpeakerMono) return 1;
    return 0;
}

Sample32** Buffers(AudioBusBuffers& bus, Sample32*) { return bus.channelBuffers32; }
Sample64** Buffers(AudioBusBuffers& bus, Sample64*) { return bus.channelBuffers64; }

// The bus's buffers when it has at least `channels`, none of them null.
template <typename Sample>
Sample** UsableBuffers(AudioBusBuffers* bus, int32 count, int channels) {
    if (bus == nullptr || count < 1 || bus->numChannels < channels) return nullptr;
    Sample** buffers = Buffers(*bus, static_cast<Sample*>(nullptr));
    if (buffers == nullptr) return nullptr;
    for (int c = 0; c < channels; ++c) {
        if (buffers[c] == nullptr) return nullptr;
    }
    return buffers;
}

// A bit for each output channel that holds nothing but zeros.
template <typename Sample>
uint64 SilentChannels(Sample* const* outputs, int channels, int frames) {
    uint64 flags = 0;
    for (int c = 0; c < channels; ++c) {
        int s = 0;
        while (s < frames && outputs[c][s] == 0) ++s;
        if (s == frames) flags |= uint64{1} << c;
    }
    return flags;
}

}  // namespace

tresult Vst3Plugin::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                       SpeakerArrangement* outputs, int32 numOuts) {
    if (inputs == nullptr || outputs == nullptr || numIns != 1 || numOuts != 1) return kResultFalse;
    const int channels = ChannelsOf(inputs[0]);
    // Mono in and out, or stereo in and out; anything else is answered with the current one.
    if (channels == 0 || ChannelsOf(outputs[0]) != channels) return kResultFalse;
    LockGuard guard(lock);
    if (active_) return kResultFalse;
    channels_ = channels;
    ConnectInputs(channels);
    ConnectOutputs(channels);
    return kResultTrue;
}

tresult Vst3Plugin::getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) {
    if ((dir != kInput && dir != kOutput) || index != 0) return kInvalidArgument;
    arr = channels_ == 1 ? kSpeakerMono : kSpeakerStereo;
    return kResultOk;
}

tresult Vst3Plugin::canProcessSampleSize(int32 symbolicSampleSize) {
    return symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64 ? kResultTrue
                                                                              : kResultFalse;
}

uint32 Vst3Plugin::getLatencySamples() { return static_cast<uint32>(Latency()); }

uint32 Vst3Plugin::getTailSamples() { return kNoTail; }

// As VST 2's effSetSampleRate and effSetBlockSize: the scratch buffers take the largest block,
// and a new rate prepares the engines again.
tresult Vst3Plugin::setupProcessing(ProcessSetup& setup) {
    if (!(setup.sampleRate >= kMinSampleRate && setup.sampleRate <= kMaxSampleRate) ||
        setup.maxSamplesPerBlock < 1 ||
        canProcessSampleSize(setup.symbolicSampleSize) != kResultTrue) {
        return kInvalidArgument;
    }
    LockGuard guard(lock);
    if (!SetBlockSize(setup.maxSamplesPerBlock)) return kOutOfMemory;
    sampleRate = setup.sampleRate;
    ResetState();
    return kResultOk;
}

// Nothing to reset: the effect's states carry on, as across VST 2's effStartProcess.
tresult Vst3Plugin::setProcessing(TBool) { return kResultOk; }

void Vst3Plugin::CollectChanges(IParameterChanges* queues) {
    changes_.Clear();
    if (queues == nullptr) return;
    const int32 count = queues->getParameterCount();
    for (int32 q = 0; q < count; ++q) {
        IParamValueQueue* queue = queues->getParameterData(q);
        if (queue == nullptr) continue;
        const ParamID id = queue->getParameterId();
        if (id >= static_cast<ParamID>(ParamCount())) continue;
        const int32 points = queue->getPointCount();
        for (int32 p = 0; p < points; ++p) {
            int32 offset = 0;
            ParamValue value = 0;
            if (queue->getPoint(p, offset, value) == kResultOk) {
                changes_.Add(offset, static_cast<int>(id), value);
            }
        }
    }
}

template <typename Sample>
void Vst3Plugin::ProcessBuses(ProcessData& data) {
    const int frames = data.numSamples;
    Sample** outputs = UsableBuffers<Sample>(data.outputs, data.numOutputs, channels_);
    if (frames == 0 || outputs == nullptr) {
        // A flush between blocks, or nowhere to write: the changes apply all the same.
        changes_.Process(*this, static_cast<Sample* const*>(nullptr), nullptr, 0);
        return;
    }
    Sample** inputs = UsableBuffers<Sample>(data.inputs, data.numInputs, channels_);
    if (inputs == nullptr) {
        // No input bus: silence, processed in place.
        for (int c = 0; c < channels_; ++c) {
            for (int s = 0; s < frames; ++s) outputs[c][s] = 0;
        }
        inputs = outputs;
    }
    changes_.Process(*this, inputs, outputs, frames);
    data.outputs[0].silenceFlags = SilentChannels(outputs, channels_, frames);
}

tresult Vst3Plugin::process(ProcessData& data) {
    LockGuard guard(lock);
    if (!active_) return kNotInitialized;
    if (data.numSamples < 0 || canProcessSampleSize(data.symbolicSampleSize) != kResultTrue) {
        return kInvalidArgument;
    }
    CollectChanges(data.inputParameterChanges);
    if (data.symbolicSampleSize == kSample64) {
        ProcessBuses<Sample64>(data);
    } else {
        ProcessBuses<Sample32>(data);
    }
    return kResultOk;
}
