#include "plugin/plugin_base.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "editor/editor.h"
#include "plugin/text_copy.h"
#include "plugin/trace.h"

PluginBase::PluginBase(const PluginConstants& constants)
    : uniqueId(constants.uniqueId),
      manufacturerCode(constants.manufacturerCode),
      pluginVersion(constants.pluginVersion) {
    CopyText(effectName, sizeof(effectName), constants.effectName);
    CopyText(productName, sizeof(productName), constants.productName);
    CopyText(vendorName, sizeof(vendorName), constants.vendorName);
    // Nothing may throw into the host: a failed allocation stops construction here and
    // leaves the object incomplete, to be deleted by whoever created it.
    for (int i = 0; i < constants.paramCount && complete; ++i) {
        if (parameters.AppendNew() == nullptr) MarkIncomplete();
    }
    for (int i = 0; i < constants.presetCount && complete; ++i) {
        if (presets.AppendNew() == nullptr) MarkIncomplete();
    }
    if (complete && !ParseChannelConfigurations(constants.channelConfig)) MarkIncomplete();
}

PluginBase::~PluginBase() { DeleteEditor(); }

void PluginBase::DeleteEditor() {
    LockGuard guard(lock);
    // Unhooked first, so nothing the editor's destructor reaches finds it half gone.
    Editor* gone = editor;
    editor = nullptr;
    delete gone;
}

bool PluginBase::ParseChannelConfigurations(const char* text) {
    int maxIn = 0;
    int maxOut = 0;
    for (const char* at = text; at != nullptr;) {
        ChannelIOConfig* config = channelConfigurations.AppendNew();
        if (config == nullptr) return false;
        std::sscanf(at, "%d-%d", &config->inputs, &config->outputs);
        maxIn = std::max(maxIn, static_cast<int>(config->inputs));
        maxOut = std::max(maxOut, static_cast<int>(config->outputs));
        at = std::strchr(at, ' ');
        if (at != nullptr) ++at;
    }

    if (!inputSlots.ResizeZeroed(maxIn * static_cast<int>(sizeof(double*))) ||
        !outputSlots.ResizeZeroed(maxOut * static_cast<int>(sizeof(double*)))) {
        return false;
    }
    for (int i = 0; i < maxIn; ++i) {
        InputChannel* channel = inputChannels.AppendNew();
        if (channel == nullptr) return false;
        channel->slot = InputSlots() + i;
    }
    for (int i = 0; i < maxOut; ++i) {
        OutputChannel* channel = outputChannels.AppendNew();
        if (channel == nullptr) return false;
        channel->slot = OutputSlots() + i;
    }
    return true;
}

bool PluginBase::LegalIO(int inputs, int outputs) const {
    Trace("PluginBase::LegalIO", __LINE__, "LegalIO(%d,%d)", inputs, outputs);
    for (int i = 0; i < channelConfigurations.Count(); ++i) {
        const ChannelIOConfig* config = channelConfigurations.Get(i);
        if ((inputs == -1 || config->inputs == inputs) &&
            (outputs == -1 || config->outputs == outputs)) {
            return true;
        }
    }
    return false;
}

void PluginBase::DisconnectInput(int index) {
    InputChannel* channel = Input(index);
    if (channel == nullptr) return;
    channel->connected = false;
    *channel->slot = channel->Scratch();
}

void PluginBase::DisconnectOutput(int index) {
    OutputChannel* channel = Output(index);
    if (channel == nullptr) return;
    channel->connected = false;
    *channel->slot = channel->Scratch();
}

void PluginBase::ConnectInputs(int count) {
    for (int i = 0; i < NInputs(); ++i) {
        if (i < count) {
            Input(i)->connected = true;
        } else {
            DisconnectInput(i);
        }
    }
}

void PluginBase::ConnectOutputs(int count) {
    for (int i = 0; i < NOutputs(); ++i) {
        if (i < count) {
            Output(i)->connected = true;
        } else {
            DisconnectOutput(i);
        }
    }
}

void PluginBase::RestrictInputsToStereo() {
    for (int i = 2; i < NInputs(); ++i) DisconnectInput(i);
}

void PluginBase::ResetState() { LockGuard guard(lock); }

void PluginBase::ParamChanged(int /*index*/) { LockGuard guard(lock); }

void PluginBase::ActivationChanged(bool /*active*/) { LockGuard guard(lock); }

void PluginBase::ProcessBlock(double** inputs, double** outputs, int frames) {
    const std::size_t bytes = static_cast<std::size_t>(frames) * sizeof(double);
    for (int i = 0; i < NOutputs(); ++i) {
        if (i < NInputs()) {
            std::memmove(outputs[i], inputs[i], bytes);
        } else {
            std::memset(outputs[i], 0, bytes);
        }
    }
}

void PluginBase::ProcessBlockSingle(float** inputs, float** outputs, int frames) {
    const std::size_t bytes = static_cast<std::size_t>(frames) * sizeof(float);
    for (int i = 0; i < NOutputs() && i < NInputs(); ++i)
        std::memmove(outputs[i], inputs[i], bytes);
}

void PluginBase::HandleMidiMessage(const MidiMessage& message) { SendMidiMessage(message); }

bool PluginBase::GetMidiNoteName(int /*key*/, char* text, std::size_t capacity) {
    CopyText(text, capacity, "");
    return false;
}

bool PluginBase::SaveState(StateChunk& chunk) { return SerializeParams(chunk); }

std::int32_t PluginBase::LoadState(const StateChunk& chunk, std::int32_t pos) {
    return UnserializeParams(chunk, pos);
}

bool PluginBase::StateEquals(const double* values, int start) const {
    for (int i = 0; i < ParamCount(); ++i) {
        const float current = static_cast<float>(Param(i)->value);
        const float other = static_cast<float>(values[start + i]);
        if (!(std::fabs(current - other) < 1e-5f)) return false;
    }
    return true;
}

void PluginBase::SetParameterFromEditor(int index, double normalized) {
    LockGuard guard(lock);
    Param(index)->ApplyNormalized(normalized);
    AutomateParam(index, normalized);
    ParamChanged(index);
}

void PluginBase::AttachEditor(Editor* newEditor) {
    if (newEditor == nullptr) return;
    LockGuard guard(lock);
    for (int i = 0; i < ParamCount(); ++i) {
        newEditor->ReceiveParamFromPlugin(i, Param(i)->NormalizedValue(), true);
    }
    newEditor->CreateDrawSurfaces();
    Editor* previous = editor;
    editor = newEditor;
    if (previous != newEditor) delete previous;
}

void PluginBase::PushParamsToEditor() {
    if (editor == nullptr) return;
    for (int i = 0; i < ParamCount(); ++i)
        editor->ReceiveParamFromPlugin(i, Param(i)->value, false);
}

void PluginBase::ReportAllParams() {
    for (int i = 0; i < ParamCount(); ++i) ParamChanged(i);
}

bool PluginBase::SetBlockSize(int frames) {
    if (frames == blockSize) return true;
    if (frames < 1 || frames > 0x7FFFFFFF / static_cast<int>(sizeof(double))) return false;
    const std::int32_t bytes = frames * static_cast<std::int32_t>(sizeof(double));
    const std::int32_t oldBytes = blockSize * static_cast<std::int32_t>(sizeof(double));

    const int count = NInputs() + NOutputs();
    auto scratch = [this](int i) -> HeapBuffer& {
        return i < NInputs() ? Input(i)->scratch : Output(i - NInputs())->scratch;
    };
    // Every buffer is resized before any is cleared, so a failure can restore the old size.
    for (int i = 0; i < count; ++i) {
        if (!scratch(i).Resize(bytes)) {
            // Shrinking back may move a buffer too.
            for (int j = 0; j < i; ++j) scratch(j).Resize(oldBytes);
            PointDisconnectedSlotsAtScratch();
            return false;
        }
    }
    for (int i = 0; i < count; ++i)
        std::memset(scratch(i).Data(), 0, static_cast<std::size_t>(bytes));
    PointDisconnectedSlotsAtScratch();
    blockSize = frames;
    return true;
}

void PluginBase::PointDisconnectedSlotsAtScratch() {
    for (int i = 0; i < NInputs(); ++i) {
        if (!Input(i)->connected) *Input(i)->slot = Input(i)->Scratch();
    }
    for (int i = 0; i < NOutputs(); ++i) {
        if (!Output(i)->connected) *Output(i)->slot = Output(i)->Scratch();
    }
}
