// The plug-in object's calls to the host: edits for automation, transport and time, MIDI out.
#include "vst/vst_plugin.h"

using namespace vst2;

namespace {

constexpr int32 kTransportQueryFlags =
    kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid;
static_assert(kTransportQueryFlags == 0x3E00, "the five transport flags");

}  // namespace

void VstPlugin::BeginParamEdit(int index) { HostCall(audioMasterBeginEdit, index); }

void VstPlugin::AutomateParam(int index, double normalized) {
    HostCall(audioMasterAutomate, index, 0, nullptr, static_cast<float>(normalized));
}

void VstPlugin::EndParamEdit(int index) { HostCall(audioMasterEndEdit, index); }

void VstPlugin::ReportPresetChange() { HostCall(audioMasterUpdateDisplay); }

bool VstPlugin::IsOfflineRender() {
    return HostCall(audioMasterGetCurrentProcessLevel) == kVstProcessLevelOffline;
}

std::int32_t VstPlugin::GetSamplePosition() {
    const auto* time = reinterpret_cast<const VstTimeInfo*>(HostCall(audioMasterGetTime));
    // The cap keeps a position beyond the int32 range from being undefined.
    if (time == nullptr || !(time->samplePos >= 0) || time->samplePos >= 2147483647.0) return 0;
    return static_cast<std::int32_t>(time->samplePos + 0.5);
}

double VstPlugin::GetTempo() {
    TransportInfo info;
    GetTransportInfo(info);
    return info.tempo >= 0 ? info.tempo : 0;
}

void VstPlugin::GetTimeSignature(std::int32_t* numerator, std::int32_t* denominator) {
    *numerator = 0;
    *denominator = 0;
    const auto* time =
        reinterpret_cast<const VstTimeInfo*>(HostCall(audioMasterGetTime, 0, kVstTimeSigValid));
    if (time == nullptr || (time->flags & kVstTimeSigValid) == 0) return;
    if (time->timeSigNumerator >= 0 && time->timeSigDenominator >= 0) {
        *numerator = time->timeSigNumerator;
        *denominator = time->timeSigDenominator;
    }
}

void VstPlugin::GetTransportInfo(TransportInfo& info) {
    const auto* time =
        reinterpret_cast<const VstTimeInfo*>(HostCall(audioMasterGetTime, 0, kTransportQueryFlags));
    if (time == nullptr || (time->flags & kTransportQueryFlags) == 0) return;
    const int32 flags = time->flags;
    info.samplePosition = time->samplePos;
    if ((flags & kVstPpqPosValid) && time->ppqPos >= 0) info.ppqPosition = time->ppqPos;
    if ((flags & kVstTempoValid) && time->tempo > 0) info.tempo = time->tempo;
    if ((flags & kVstBarsValid) && time->barStartPos >= 0) info.lastBarPosition = time->barStartPos;
    if ((flags & kVstCyclePosValid) && time->cycleStartPos >= 0 && time->cycleEndPos >= 0) {
        info.cycleStart = time->cycleStartPos;
        info.cycleEnd = time->cycleEndPos;
    }
    if ((flags & kVstTimeSigValid) && time->timeSigNumerator > 0 && time->timeSigDenominator > 0) {
        info.numerator = time->timeSigNumerator;
        info.denominator = time->timeSigDenominator;
    }
    info.running = (flags & kVstTransportPlaying) != 0;
    info.looping = (flags & kVstTransportCycleActive) != 0;
}

bool VstPlugin::SendMidiMessage(const MidiMessage& message) {
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.deltaFrames = message.offset;
    event.midiData[0] = static_cast<char>(message.status);
    event.midiData[1] = static_cast<char>(message.data1);
    event.midiData[2] = static_cast<char>(message.data2);
    VstEvents events{};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<VstEvent*>(&event);
    return HostCall(audioMasterProcessEvents, 0, 0, &events) == 1;
}

bool VstPlugin::SendSysExMessage(const SysExMessage& message) {
    VstMidiSysexEvent event{};
    event.type = kVstSysExType;
    event.byteSize = sizeof(VstMidiSysexEvent);
    event.deltaFrames = message.offset;
    event.dumpBytes = message.size;
    event.sysexDump = reinterpret_cast<char*>(const_cast<std::uint8_t*>(message.data));
    VstEvents events{};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<VstEvent*>(&event);
    return HostCall(audioMasterProcessEvents, 0, 0, &events) == 1;
}
