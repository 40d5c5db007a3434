// Small records shared by the plug-in object and its host adapter.
#pragma once

#include <cstdint>

#include "plugin/heap_buffer.h"
#include "plugin/state_chunk.h"
#include "plugin/text_buffer.h"

// One legal pair of input and output channel counts.
struct ChannelIOConfig {
    std::int32_t inputs = 0;
    std::int32_t outputs = 0;
};

// An input channel: its slot points at the host's data (double processing) or at its scratch
// buffer (single processing, or while disconnected).
struct InputChannel {
    bool connected = false;
    double** slot = nullptr;
    HeapBuffer scratch{4096};
    TextBuffer label;

    double* Scratch() { return reinterpret_cast<double*>(scratch.Data()); }
};

// An output channel: on the single-precision path the result goes from the scratch buffer to
// the host's float buffer remembered in destination.
struct OutputChannel {
    bool connected = false;
    double** slot = nullptr;
    float* destination = nullptr;
    HeapBuffer scratch{4096};
    TextBuffer label;

    double* Scratch() { return reinterpret_cast<double*>(scratch.Data()); }
};

// A saved state under a name.
struct Preset {
    bool initialised = false;
    char name[256] = "empty";
    StateChunk state;
};

struct MidiMessage {
    std::int32_t offset = 0;
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
};

// A system-exclusive message; the bytes are not owned.
struct SysExMessage {
    std::int32_t offset = 0;
    std::int32_t size = 0;
    const std::uint8_t* data = nullptr;
};

// The host's transport as the framework offers it to effects.
struct TransportInfo {
    double tempo = 120;
    double samplePosition = -1;
    double ppqPosition = -1;
    double lastBarPosition = -1;
    double cycleStart = -1;
    double cycleEnd = -1;
    std::int32_t numerator = 4;
    std::int32_t denominator = 4;
    bool running = false;
    bool looping = false;
};

// The constants an effect hands to the framework at construction.
struct PluginConstants {
    int paramCount;
    const char* channelConfig;
    int presetCount;
    const char* effectName;
    const char* productName;
    const char* vendorName;
    std::int32_t uniqueId;
    std::int32_t manufacturerCode;
    std::int32_t pluginVersion;
};
