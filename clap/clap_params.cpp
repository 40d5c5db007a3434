// The params extension: each parameter by its index as its id, with plain values in its own range,
// the texts VST 2 shows for them, the host's typed texts read as the panel's value box reads
// them, and the flush between blocks.
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "adapter/host_params.h"
#include "clap/clap_extensions.h"
#include "clap/clap_plugin.h"
#include "plugin/text_copy.h"

using namespace clap;

namespace {

int AsIndex(clap_id id) { return id <= INT_MAX ? static_cast<int>(id) : -1; }

// Where a plain value lands, as ApplyHostPlainParam stores it: within the range, and on a step
// for a stepped parameter, whose values a CLAP host keeps integral.
double Stored(const PluginParam& param, double plain) {
    double v = param.Clamped(plain);
    if (param.type != ParamType::Continuous) {
        v = param.Clamped(std::floor(v / param.step + 0.5) * param.step);
    }
    return v;
}

// The host's bypass switch: the stepped on/off parameter by that name (1 passes the input
// through), which the host then shows as its own.
bool IsBypass(const PluginParam& param) {
    return std::strcmp(param.name, "Bypass") == 0 && param.type != ParamType::Continuous &&
           param.min == 0 && param.max == 1;
}

ClapPlugin* Of(const clap_plugin* plugin) { return ClapPlugin::From(plugin); }

std::uint32_t Count(const clap_plugin* p) {
    return Of(p) != nullptr ? static_cast<std::uint32_t>(Of(p)->ParamCount()) : 0;
}

bool GetInfo(const clap_plugin* p, std::uint32_t index, clap_param_info* info) {
    return Of(p) != nullptr && Of(p)->ParamInfo(index, info);
}

bool GetValue(const clap_plugin* p, clap_id id, double* value) {
    return Of(p) != nullptr && Of(p)->ParamValue(id, value);
}

bool ValueToText(const clap_plugin* p, clap_id id, double value, char* text,
                 std::uint32_t capacity) {
    return Of(p) != nullptr && Of(p)->ParamValueToText(id, value, text, capacity);
}

bool TextToValue(const clap_plugin* p, clap_id id, const char* text, double* value) {
    return Of(p) != nullptr && Of(p)->ParamTextToValue(id, text, value);
}

void Flush(const clap_plugin* p, const clap_input_events* in, const clap_output_events* out) {
    if (ClapPlugin* plug = Of(p)) plug->Flush(in, out);
}

}  // namespace

const clap_plugin_params kClapParams = {&Count,       &GetInfo,     &GetValue,
                                        &ValueToText, &TextToValue, &Flush};

bool ClapPlugin::ParamInfo(std::uint32_t index, clap_param_info* info) {
    LockGuard guard(lock);
    const int i = AsIndex(index);
    if (info == nullptr || !IsValidParam(i)) return false;
    const PluginParam& param = *Param(i);
    *info = {};
    info->id = index;
    info->flags = CLAP_PARAM_IS_AUTOMATABLE;
    if (param.type != ParamType::Continuous) info->flags |= CLAP_PARAM_IS_STEPPED;
    if (IsBypass(param)) info->flags |= CLAP_PARAM_IS_BYPASS;
    CopyText(info->name, sizeof(info->name), param.name);
    info->min_value = param.min;
    info->max_value = param.max;
    info->default_value = param.defaultValue;
    return true;
}

bool ClapPlugin::ParamValue(clap_id id, double* value) {
    LockGuard guard(lock);
    const int i = AsIndex(id);
    if (value == nullptr || !IsValidParam(i)) return false;
    *value = Param(i)->Clamped(Param(i)->value);
    return true;
}

bool ClapPlugin::ParamValueToText(clap_id id, double value, char* text, std::uint32_t capacity) {
    LockGuard guard(lock);
    const int i = AsIndex(id);
    if (text == nullptr || capacity == 0 || !IsValidParam(i) || std::isnan(value)) return false;
    const PluginParam& param = *Param(i);
    if (!HostParamDisplayOfPlain(*this, i, Stored(param, value), text, capacity)) return false;
    // A unit follows the number, since a CLAP host shows nothing else beside it; a label that
    // only repeats the parameter's name (every one here) would tell nothing.
    if (param.label[0] != '\0' && std::strcmp(param.label, param.name) != 0) {
        const std::size_t used = std::strlen(text);
        if (used + 1 < capacity) std::snprintf(text + used, capacity - used, " %s", param.label);
    }
    return true;
}

bool ClapPlugin::ParamTextToValue(clap_id id, const char* text, double* value) {
    LockGuard guard(lock);
    const int i = AsIndex(id);
    double plain = 0;
    if (text == nullptr || value == nullptr || !HostParamValueFromText(*this, i, text, &plain)) {
        return false;
    }
    *value = Stored(*Param(i), plain);
    return true;
}
