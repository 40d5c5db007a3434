// A small VST 2.x host for tools and tests: loads a module by path, creates effects through
// its entry point with a callback that records every call and answers as configured, and
// offers plain calls for the dispatcher and the audio and parameter callbacks.
// Threads: a RecordingHost may be called back from any thread; its record is guarded.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/shared_library.h"
#include "vst/vst2_abi.h"

namespace host {

using EntryPoint = vst2::AEffect* (*)(vst2::audioMasterCallback);

// A loaded plug-in module; unloaded when destroyed.
class VstModule {
public:
    // Null, with a one-line reason in error, when the module cannot be loaded.
    static std::unique_ptr<VstModule> Load(const std::string& path, std::string* error);

    // The exported function of that name, or null.
    EntryPoint Entry(const char* name = "VSTPluginMain") const;

private:
    explicit VstModule(std::unique_ptr<SharedLibrary> library) : library_(std::move(library)) {}
    std::unique_ptr<SharedLibrary> library_;
};

// One call the plug-in made to the host.
struct HostCallRecord {
    vst2::int32 opcode;
    vst2::int32 index;
    vst2::intptr value;
    float opt;
};

class RecordingHost {
public:
    // Answers, all settable before or between calls.
    std::string productString = "ORV test host";
    vst2::int32 vendorVersion = 1000;
    vst2::int32 processLevel = 1;
    vst2::intptr processEventsAnswer = 1;
    bool hasTimeInfo = false;
    vst2::VstTimeInfo timeInfo{};
    double sampleRate = 44100;
    vst2::int32 blockSize = 512;

    // Creates an effect through the entry point, bound to this host; null when it fails.
    vst2::AEffect* Instantiate(EntryPoint entry);

    std::vector<HostCallRecord> Calls() const;
    int CountOf(vst2::int32 opcode) const;
    void ClearCalls();

    static vst2::intptr Callback(vst2::AEffect* effect, vst2::int32 opcode, vst2::int32 index,
                                 vst2::intptr value, void* ptr, float opt);

private:
    vst2::intptr Answer(vst2::int32 opcode, vst2::int32 index, vst2::intptr value, void* ptr,
                        float opt);

    mutable std::mutex mutex_;
    std::vector<HostCallRecord> calls_;
};

// Plain calls into one effect.
class HostedEffect {
public:
    explicit HostedEffect(vst2::AEffect* effect) : effect_(effect) {}

    vst2::AEffect* Effect() const { return effect_; }
    vst2::intptr Dispatch(vst2::int32 opcode, vst2::int32 index = 0, vst2::intptr value = 0,
                          void* ptr = nullptr, float opt = 0.0f) const;
    // A text answer of the dispatcher (names, labels, display texts) from a zeroed buffer.
    std::string Text(vst2::int32 opcode, vst2::int32 index = 0) const;

    void Process(float** in, float** out, vst2::int32 frames) const;
    void ProcessReplacing(float** in, float** out, vst2::int32 frames) const;
    void ProcessDoubleReplacing(double** in, double** out, vst2::int32 frames) const;
    float GetParameter(vst2::int32 index) const;
    void SetParameter(vst2::int32 index, float value) const;

    // The usual start-up: effOpen, rate, block size, effMainsChanged(1).
    void Start(float sampleRate, vst2::int32 blockSize) const;
    // effMainsChanged(0) and effClose; the effect is gone afterwards.
    void Close();

private:
    vst2::AEffect* effect_;
};

}  // namespace host
