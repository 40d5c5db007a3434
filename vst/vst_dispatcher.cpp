// The dispatcher: one small handler per opcode, looked up in a table. Every handler runs with
// the plug-in lock held; opcodes without a handler answer 0 and change nothing. effEditIdle
// goes to the editor without the lock.
#include <cstdio>
#include <cstring>
#include <limits>

#include "adapter/host_params.h"
#include "editor/editor.h"
#include "plugin/text_copy.h"
#include "plugin/trace.h"
#include "vst/vst_plugin.h"

using namespace vst2;

namespace {
// No host runs below 8 kHz; far below that (a subnormal rate, say) the coefficients overflow.
constexpr float kMinSampleRate = 1000.0f;
constexpr float kMaxSampleRate = 1536000.0f;
}  // namespace

struct VstRequest {
    int32 index;
    intptr value;
    void* ptr;
    float opt;
};

class VstDispatch {
public:
    using Handler = intptr (*)(VstPlugin& plug, const VstRequest& request);

    static Handler Find(int32 opcode);

private:
    static char* Text(const VstRequest& r) { return static_cast<char*>(r.ptr); }
    // An intptr argument as an int, or -1 when it does not fit (never a valid index).
    static int AsInt(intptr v) {
        return v >= 0 && v <= std::numeric_limits<int>::max() ? static_cast<int>(v) : -1;
    }
    static bool ValidParamWithBuffer(VstPlugin& p, const VstRequest& r) {
        return p.IsValidParam(r.index) && r.ptr != nullptr;
    }

    static intptr Open(VstPlugin& p, const VstRequest&) {
        p.HostSpecificSetup();
        p.ReportAllParams();
        return 0;
    }
    static intptr SetProgram(VstPlugin& p, const VstRequest& r) {
        if (!p.usesStateChunks) p.ModifyCurrentPreset();
        p.SelectPreset(AsInt(r.value));
        return 0;
    }
    static intptr GetProgram(VstPlugin& p, const VstRequest&) { return p.CurrentPreset(); }
    static intptr SetProgramName(VstPlugin& p, const VstRequest& r) {
        if (r.ptr == nullptr) return 0;
        p.ModifyCurrentPreset(Text(r));
        p.PresetsChangedHook();
        return 0;
    }
    static intptr GetProgramName(VstPlugin& p, const VstRequest& r) {
        CopyText(Text(r), kVstMaxProgNameLen, p.PresetName(p.CurrentPreset()));
        return 0;
    }
    static intptr GetParamLabel(VstPlugin& p, const VstRequest& r) {
        HostParamLabel(p, r.index, Text(r), kVstMaxParamStrLen);
        return 0;
    }
    static intptr GetParamDisplay(VstPlugin& p, const VstRequest& r) {
        HostParamDisplay(p, r.index, Text(r), kVstMaxParamStrLen);
        return 0;
    }
    static intptr GetParamName(VstPlugin& p, const VstRequest& r) {
        if (ValidParamWithBuffer(p, r)) {
            CopyText(Text(r), kVstMaxParamStrLen, p.Param(r.index)->name);
        }
        return 0;
    }
    // A rate that is not a number from 1 kHz up to 1536 kHz would poison every coefficient;
    // the last valid rate stays.
    static intptr SetSampleRate(VstPlugin& p, const VstRequest& r) {
        if (!(r.opt >= kMinSampleRate && r.opt <= kMaxSampleRate)) return 0;
        p.sampleRate = r.opt;
        p.ResetState();
        return 0;
    }
    static intptr SetBlockSize(VstPlugin& p, const VstRequest& r) {
        p.SetBlockSize(AsInt(r.value));
        p.ResetState();
        return 0;
    }
    static intptr MainsChanged(VstPlugin& p, const VstRequest& r) {
        if (r.value != 0) {
            p.ActivationChanged(true);
        } else {
            p.ActivationChanged(false);
            p.ResetState();
        }
        return 0;
    }
    static intptr EditGetRect(VstPlugin& p, const VstRequest& r) {
        if (r.ptr == nullptr || p.WindowEditor() == nullptr) return 0;
        *static_cast<ERect**>(r.ptr) = &p.editorRect;
        return 1;
    }
    static intptr EditOpen(VstPlugin& p, const VstRequest& r) {
        Editor* editor = p.WindowEditor();
        if (editor == nullptr || editor->CreateEditorWindow(r.ptr) == nullptr) return 0;
        p.OnEditorOpen();
        return 1;
    }
    static intptr EditClose(VstPlugin& p, const VstRequest&) {
        Editor* editor = p.WindowEditor();
        if (editor == nullptr) return 0;
        p.OnEditorClose();
        editor->DestroyEditorWindow();
        return 1;
    }
    static intptr Identify(VstPlugin&, const VstRequest&) { return kVstIdentifyAnswer; }
    static intptr GetChunk(VstPlugin& p, const VstRequest& r) {
        if (r.ptr == nullptr) return 0;
        return p.GetChunk(r.index == 0, static_cast<void**>(r.ptr));
    }
    static intptr SetChunk(VstPlugin& p, const VstRequest& r) {
        return p.SetChunk(r.index == 0, r.ptr, r.value) ? 1 : 0;
    }
    static intptr ProcessEvents(VstPlugin& p, const VstRequest& r) {
        const auto* events = static_cast<const VstEvents*>(r.ptr);
        if (events == nullptr) return 0;
        // The host allocates numEvents pointers where the record declares two: read them
        // through a pointer, not as the two-element array.
        VstEvent* const* list = events->events;
        for (int32 i = 0; i < events->numEvents; ++i) {
            const VstEvent* event = list[i];
            if (event == nullptr) continue;
            if (event->type == kVstMidiType) {
                const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
                MidiMessage message;
                message.offset = midi->deltaFrames;
                message.status = static_cast<std::uint8_t>(midi->midiData[0]);
                message.data1 = static_cast<std::uint8_t>(midi->midiData[1]);
                message.data2 = static_cast<std::uint8_t>(midi->midiData[2]);
                p.HandleMidiMessage(message);
            } else if (event->type == kVstSysExType) {
                const auto* sysex = reinterpret_cast<const VstMidiSysexEvent*>(event);
                SysExMessage message;
                message.offset = sysex->deltaFrames;
                message.size = sysex->dumpBytes;
                message.data = reinterpret_cast<const std::uint8_t*>(sysex->sysexDump);
                p.HandleSysEx(message);
            }
        }
        return 1;
    }
    static intptr CanBeAutomated(VstPlugin&, const VstRequest&) { return 1; }
    static intptr String2Parameter(VstPlugin& p, const VstRequest& r) {
        if (!p.IsValidParam(r.index)) return 0;
        if (r.ptr == nullptr) return 1;
        return SetHostParamFromText(p, r.index, Text(r)) ? 1 : 0;
    }
    static intptr GetProgramNameIndexed(VstPlugin& p, const VstRequest& r) {
        if (r.ptr == nullptr) return 0;
        CopyText(Text(r), kVstMaxProgNameLen, p.PresetName(r.index));
        return Text(r)[0] != '\0' ? 1 : 0;
    }
    static intptr PinProperties(const VstRequest& r, int count, const TextBuffer* label,
                                const char* format) {
        if (r.ptr == nullptr || r.index < 0 || r.index >= count) return 0;
        auto* pin = static_cast<VstPinProperties*>(r.ptr);
        const bool stereoPair = r.index % 2 == 0 && r.index < count - 1;
        pin->flags = stereoPair ? kVstPinIsActive | kVstPinIsStereo : kVstPinIsActive;
        if (!label->IsEmpty()) {
            CopyText(pin->label, sizeof(pin->label), label->Get());
        } else {
            std::snprintf(pin->label, sizeof(pin->label), format, r.index + 1);
        }
        return 1;
    }
    static intptr GetInputProperties(VstPlugin& p, const VstRequest& r) {
        const InputChannel* channel = p.Input(r.index);
        return channel ? PinProperties(r, p.NInputs(), &channel->label, "Input %d") : 0;
    }
    static intptr GetOutputProperties(VstPlugin& p, const VstRequest& r) {
        const OutputChannel* channel = p.Output(r.index);
        return channel ? PinProperties(r, p.NOutputs(), &channel->label, "Output %d") : 0;
    }
    static intptr GetPlugCategory(VstPlugin& p, const VstRequest&) {
        return p.isInstrument ? kPlugCategSynth : kPlugCategEffect;
    }
    static intptr SetSpeakerArrangement(VstPlugin& p, const VstRequest& r) {
        const auto* inputs = reinterpret_cast<const VstSpeakerArrangement*>(r.value);
        const auto* outputs = static_cast<const VstSpeakerArrangement*>(r.ptr);
        if (inputs != nullptr) p.ConnectInputs(inputs->numChannels);
        if (outputs != nullptr) p.ConnectOutputs(outputs->numChannels);
        return 1;
    }
    static intptr CopyName(const VstRequest& r, std::size_t capacity, const char* name) {
        if (r.ptr == nullptr) return 0;
        CopyText(Text(r), capacity, name);
        return 1;
    }
    static intptr GetEffectName(VstPlugin& p, const VstRequest& r) {
        return CopyName(r, kVstMaxEffectNameLen, p.effectName);
    }
    static intptr GetVendorString(VstPlugin& p, const VstRequest& r) {
        return CopyName(r, kVstMaxVendorStrLen, p.vendorName);
    }
    static intptr GetProductString(VstPlugin& p, const VstRequest& r) {
        return CopyName(r, kVstMaxProductStrLen, p.productName);
    }
    // Cockos extensions: 7 formats a normalised value of parameter `value`, 8 asks whether
    // that parameter moves in steps.
    static intptr VendorSpecific(VstPlugin& p, const VstRequest& r) {
        constexpr intptr kAnswer = 0xBEEF;
        const int param = AsInt(r.value);
        if (r.index == 7) {
            if (r.ptr == nullptr) return 0;
            HostParamDisplayOfNormalized(p, param, r.opt, Text(r), kVstMaxParamStrLen);
            return kAnswer;
        }
        if (r.index == 8) {
            return p.IsValidParam(param) && p.Param(param)->type != ParamType::Continuous ? kAnswer
                                                                                          : 0;
        }
        return 0;
    }
    static intptr CanDo(VstPlugin& p, const VstRequest& r) {
        const char* text = Text(r);
        if (text == nullptr) return 0;
        Trace("VstPlugin::VSTDispatcher", __LINE__, "VSTCanDo(%s)", text);
        auto is = [text](const char* name) { return std::strcmp(text, name) == 0; };
        if (is("receiveVstTimeInfo")) return 1;
        if (is("sendVstEvents") || is("sendVstMidiEvent") || is("receiveVstEvents") ||
            is("receiveVstMidiEvent")) {
            return p.receivesMidi ? 1 : 0;
        }
        if (is("hasCockosExtensions") || is("hasCockosViewAsConfig")) return 0xBEEF0000;
        return 0;
    }
    static intptr GetVstVersion(VstPlugin&, const VstRequest&) { return kVstVersion; }
    static intptr GetMidiKeyName(VstPlugin& p, const VstRequest& r) {
        auto* key = static_cast<MidiKeyName*>(r.ptr);
        if (key == nullptr) return 0;
        key->keyName[0] = '\0';
        return p.GetMidiNoteName(key->thisKeyNumber, key->keyName, sizeof(key->keyName)) ? 1 : 0;
    }
    static intptr GetSpeakerArrangement(VstPlugin& p, const VstRequest& r) {
        if (r.value != 0) {
            *reinterpret_cast<VstSpeakerArrangement**>(r.value) = &p.inputArrangement;
        }
        if (r.ptr != nullptr) *static_cast<VstSpeakerArrangement**>(r.ptr) = &p.outputArrangement;
        return 1;
    }
};

VstDispatch::Handler VstDispatch::Find(int32 opcode) {
    struct Row {
        int32 opcode;
        Handler handler;
    };
    static constexpr Row kTable[] = {
        {effOpen, &Open},
        {effSetProgram, &SetProgram},
        {effGetProgram, &GetProgram},
        {effSetProgramName, &SetProgramName},
        {effGetProgramName, &GetProgramName},
        {effGetParamLabel, &GetParamLabel},
        {effGetParamDisplay, &GetParamDisplay},
        {effGetParamName, &GetParamName},
        {effSetSampleRate, &SetSampleRate},
        {effSetBlockSize, &SetBlockSize},
        {effMainsChanged, &MainsChanged},
        {effEditGetRect, &EditGetRect},
        {effEditOpen, &EditOpen},
        {effEditClose, &EditClose},
        {effIdentify, &Identify},
        {effGetChunk, &GetChunk},
        {effSetChunk, &SetChunk},
        {effProcessEvents, &ProcessEvents},
        {effCanBeAutomated, &CanBeAutomated},
        {effString2Parameter, &String2Parameter},
        {effGetProgramNameIndexed, &GetProgramNameIndexed},
        {effGetInputProperties, &GetInputProperties},
        {effGetOutputProperties, &GetOutputProperties},
        {effGetPlugCategory, &GetPlugCategory},
        {effSetSpeakerArrangement, &SetSpeakerArrangement},
        {effGetEffectName, &GetEffectName},
        {effGetVendorString, &GetVendorString},
        {effGetProductString, &GetProductString},
        {effVendorSpecific, &VendorSpecific},
        {effCanDo, &CanDo},
        {effGetVstVersion, &GetVstVersion},
        {effGetMidiKeyName, &GetMidiKeyName},
        {effGetSpeakerArrangement, &GetSpeakerArrangement},
    };
    for (const Row& row : kTable) {
        if (row.opcode == opcode) return row.handler;
    }
    return nullptr;
}

intptr VstPlugin::VSTDispatcher(AEffect* effect, int32 opcode, int32 index, intptr value, void* ptr,
                                float opt) {
    VstPlugin* plug = FromEffect(effect);
    if (plug == nullptr) return 0;
    if (opcode == effEditIdle) {
        // Drawing and talking to the window system take milliseconds, which the audio thread
        // must not wait for; the editor takes the lock itself wherever it edits a parameter,
        // as a window's own timer does.
        if (Editor* editor = plug->WindowEditor()) editor->Idle();
        return 0;
    }
    plug->lock.Enter();
    if (opcode == effClose) {
        plug->lock.Leave();
        delete plug;
        return 0;
    }
    const VstDispatch::Handler handler = VstDispatch::Find(opcode);
    const intptr result = handler != nullptr ? handler(*plug, {index, value, ptr, opt}) : 0;
    plug->lock.Leave();
    return result;
}
