// The plug-in object's state: parameter values to and from state chunks, and the presets.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "plugin/plugin_base.h"
#include "plugin/text_copy.h"
#include "plugin/trace.h"

namespace {

constexpr const char* kUserPresetName = "user preset";

}  // namespace

bool PluginBase::SerializeParams(StateChunk& chunk) {
    LockGuard guard(lock);
    Trace("PluginBase::SerializeParams", __LINE__, "SerializeParams(%d)", ParamCount());
    for (int i = 0; i < ParamCount(); ++i) {
        if (!chunk.PutDouble(Param(i)->value)) return false;
    }
    return true;
}

std::int32_t PluginBase::UnserializeParams(const StateChunk& chunk, std::int32_t pos) {
    LockGuard guard(lock);
    Trace("PluginBase::UnserializeParams", __LINE__, "UnserializeParams(%d)", pos);
    for (int i = 0; i < ParamCount() && pos >= 0; ++i) {
        double v = 0.0;
        pos = chunk.GetDouble(&v, pos);
        // The first parameter without data is set from 0.0; the ones after it are left alone.
        // A value that is not finite would latch the effect: that parameter keeps its value.
        PluginParam* param = Param(i);
        if (std::isfinite(v)) param->value = param->Clamped(v);
    }
    ReportAllParams();
    return pos;
}

bool PluginBase::SerializePresets(StateChunk& chunk) {
    for (int i = 0; i < PresetCount(); ++i) {
        const Preset* preset = PresetAt(i);
        if (!chunk.PutString(preset->name) || !chunk.PutByte(preset->initialised ? 1 : 0)) {
            return false;
        }
        if (preset->initialised && !chunk.PutBytes(preset->state.Data(), preset->state.Size())) {
            return false;
        }
    }
    return true;
}

std::int32_t PluginBase::UnserializePresets(const StateChunk& chunk, std::int32_t pos) {
    // A name that is empty or runs past the data repeats the previous preset's name.
    char name[sizeof(Preset::name)] = "";
    for (int i = 0; i < PresetCount() && pos >= 0; ++i) {
        Preset* preset = PresetAt(i);

        std::int64_t end = -1;
        std::int32_t length = 0;
        if (chunk.GetInt32(&length, pos) >= 0 && length >= 0) {
            end = static_cast<std::int64_t>(pos) + 4 + length;
            if (length > 0 && chunk.Fits(pos + 4, length)) {
                const std::size_t kept = std::min<std::size_t>(length, sizeof(name) - 1);
                std::memcpy(name, chunk.Data() + pos + 4, kept);
                name[kept] = '\0';
            }
        }
        CopyText(preset->name, sizeof(preset->name), name);

        std::uint8_t flag = 0;
        if (end >= 0 && chunk.Fits(end, 1)) {
            chunk.GetByte(&flag, static_cast<std::int32_t>(end));
            preset->initialised = flag != 0;
            pos = static_cast<std::int32_t>(end + 1);
        } else {
            pos = -1;
        }

        if (preset->initialised) {
            pos = LoadState(chunk, pos);
            if (pos > 0) {
                preset->state.Clear();
                SaveState(preset->state);
            }
        }
    }
    SelectPreset(currentPreset);
    return pos;
}

bool PluginBase::AddPreset(const char* name, int count) {
    bool saved = true;
    for (int n = 0; n < count; ++n) {
        Preset* preset = nullptr;
        for (int i = 0; i < PresetCount() && preset == nullptr; ++i) {
            if (!PresetAt(i)->initialised) preset = PresetAt(i);
        }
        if (preset == nullptr) continue;
        preset->initialised = true;
        CopyText(preset->name, sizeof(preset->name), name != nullptr ? name : "Empty");
        if (!SaveState(preset->state)) saved = false;
    }
    return saved;
}

void PluginBase::ModifyCurrentPreset(const char* name) {
    Preset* preset = PresetAt(currentPreset);
    if (preset == nullptr) return;
    preset->state.Clear();
    SaveState(preset->state);
    if (name != nullptr && name[0] != '\0') CopyText(preset->name, sizeof(preset->name), name);
}

bool PluginBase::SelectPreset(int index) {
    Preset* preset = PresetAt(index);
    if (preset == nullptr) return false;
    bool ok;
    if (preset->initialised) {
        ok = LoadState(preset->state, 0) > 0;
    } else {
        preset->initialised = true;
        int userPresets = 0;
        for (int i = 0; i < PresetCount(); ++i) {
            if (std::strstr(PresetAt(i)->name, kUserPresetName) != nullptr) ++userPresets;
        }
        std::snprintf(preset->name, sizeof(preset->name), "%s %d", kUserPresetName,
                      userPresets + 1);
        ok = SaveState(preset->state);
    }
    if (ok) {
        currentPreset = index;
        PresetsChangedHook();
        PushParamsToEditor();
    }
    return ok;
}

const char* PluginBase::PresetName(int index) const {
    const Preset* preset = PresetAt(index);
    return preset != nullptr ? preset->name : "";
}
