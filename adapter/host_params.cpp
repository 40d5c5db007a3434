#include "adapter/host_params.h"

#include <algorithm>
#include <cmath>

#include "editor/editor.h"
#include "plugin/text_copy.h"

double HostParamValue(PluginBase& plug, int index) {
    LockGuard guard(plug.Lock());
    return plug.IsValidParam(index) ? plug.Param(index)->NormalizedValue() : 0.0;
}

void ApplyHostParam(PluginBase& plug, int index, double normalized) {
    LockGuard guard(plug.Lock());
    // A value that is not finite would latch the effect; the parameter keeps its value.
    if (!plug.IsValidParam(index) || !std::isfinite(normalized)) return;
    // Below 0 the parameter would leave its range, to be shown, saved and played out of it.
    normalized = std::min(std::max(normalized, 0.0), 1.0);
    PluginParam* param = plug.Param(index);
    param->ApplyNormalized(normalized);
    // What the parameter stored (a switch's snapped position), so that the next click flips it.
    if (Editor* editor = plug.AttachedEditor())
        editor->ReceiveParamFromPlugin(index, param->NormalizedValue(), true);
    plug.ParamChanged(index);
}

void ApplyHostPlainParam(PluginBase& plug, int index, double plain) {
    LockGuard guard(plug.Lock());
    if (!plug.IsValidParam(index) || std::isnan(plain)) return;
    PluginParam* param = plug.Param(index);
    double v = param->Clamped(plain);
    // Snapped as a normalised value snaps, counted from 0, and kept within the range.
    if (param->type != ParamType::Continuous)
        v = param->Clamped(std::floor(v / param->step + 0.5) * param->step);
    param->value = v;
    if (Editor* editor = plug.AttachedEditor())
        editor->ReceiveParamFromPlugin(index, param->NormalizedValue(), true);
    plug.ParamChanged(index);
}

bool HostParamDisplay(PluginBase& plug, int index, char* out, std::size_t size) {
    LockGuard guard(plug.Lock());
    if (!plug.IsValidParam(index) || out == nullptr || size == 0) return false;
    plug.Param(index)->FormatValue(out, size);
    return true;
}

bool HostParamDisplayOfPlain(PluginBase& plug, int index, double plain, char* out,
                             std::size_t size) {
    LockGuard guard(plug.Lock());
    if (!plug.IsValidParam(index) || out == nullptr || size == 0) return false;
    plug.Param(index)->FormatValueOf(plain, false, out, size, true);
    return true;
}

bool HostParamDisplayOfNormalized(PluginBase& plug, int index, double normalized, char* out,
                                  std::size_t size) {
    LockGuard guard(plug.Lock());
    if (!plug.IsValidParam(index) || out == nullptr || size == 0) return false;
    plug.Param(index)->FormatValueOf(normalized, true, out, size, true);
    return true;
}

bool HostParamLabel(PluginBase& plug, int index, char* out, std::size_t size) {
    LockGuard guard(plug.Lock());
    if (!plug.IsValidParam(index) || out == nullptr || size == 0) return false;
    CopyText(out, size, plug.Param(index)->HostLabel());
    return true;
}

bool HostParamValueFromText(PluginBase& plug, int index, const char* text, double* plain) {
    LockGuard guard(plug.Lock());
    if (!plug.IsValidParam(index) || plain == nullptr) return false;
    const PluginParam* param = plug.Param(index);
    double v = 0;
    if (!param->ValueFromText(text, &v)) return false;
    *plain = param->Clamped(v);
    return true;
}

bool SetHostParamFromText(PluginBase& plug, int index, const char* text) {
    LockGuard guard(plug.Lock());
    if (!plug.IsValidParam(index)) return false;
    PluginParam* param = plug.Param(index);
    double v = 0;
    if (!param->ValueFromText(text, &v)) return false;
    if (Editor* editor = plug.AttachedEditor()) editor->ReceiveParamFromPlugin(index, v, false);
    param->value = param->Clamped(v);
    plug.ParamChanged(index);
    return true;
}
