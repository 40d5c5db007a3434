// The edit controller: the parameters as a host lists, shows, parses and sets them, the editor's
// view, and the editor's edits out to the host's component handler. Values are normalised; the
// texts are the ones the VST 2 module shows (the value, and the label as the units).
#include <cmath>
#include <cstring>
#include <new>

#include "adapter/host_params.h"
#include "vst3/vst3_plugin.h"
#include "vst3/vst3_strings.h"
#include "vst3/vst3_view.h"

using namespace vst3;

namespace {

// The pedal's lasting state, which a host's own bypass button switches.
constexpr const char* kBypassName = "Bypass";

// A host's normalised value within 0..1; one that is not a number reads as 0.
double Normalized(double value) { return value >= 0 ? (value <= 1 ? value : 1) : 0; }

}  // namespace

int32 Vst3Plugin::getParameterCount() { return ParamCount(); }

tresult Vst3Plugin::getParameterInfo(int32 paramIndex, ParameterInfo& info) {
    LockGuard guard(lock);
    if (!IsValidParam(paramIndex)) return kInvalidArgument;
    const PluginParam& param = *Param(paramIndex);
    std::memset(&info, 0, sizeof(info));
    info.id = static_cast<ParamID>(paramIndex);
    CopyToString16(info.title, 128, param.name);
    CopyToString16(info.shortTitle, 128, param.name);
    CopyToString16(info.units, 128, param.label);
    info.stepCount = param.type == ParamType::Continuous
                         ? 0
                         : static_cast<int32>(std::lround((param.max - param.min) / param.step));
    info.defaultNormalizedValue = param.NormalizedValueOf(param.defaultValue);
    info.unitId = 0;
    info.flags = kCanAutomate;
    if (std::strcmp(param.name, kBypassName) == 0) info.flags |= kIsBypass;
    return kResultOk;
}

tresult Vst3Plugin::getParamStringByValue(ParamID id, ParamValue valueNormalized,
                                          String128 string) {
    char text[128];
    if (string == nullptr ||
        !HostParamDisplayOfNormalized(*this, static_cast<int>(id), Normalized(valueNormalized),
                                      text, sizeof(text))) {
        return kInvalidArgument;
    }
    CopyToString16(string, 128, text);
    return kResultOk;
}

tresult Vst3Plugin::getParamValueByString(ParamID id, TChar* string, ParamValue& valueNormalized) {
    if (string == nullptr || !IsValidParam(static_cast<int>(id))) return kInvalidArgument;
    char text[512];
    CopyFromString16(text, sizeof(text), string, 4096);
    double plain = 0;
    if (!HostParamValueFromText(*this, static_cast<int>(id), text, &plain)) return kResultFalse;
    LockGuard guard(lock);
    valueNormalized = Param(static_cast<int>(id))->NormalizedValueOf(plain);
    return kResultOk;
}

ParamValue Vst3Plugin::normalizedParamToPlain(ParamID id, ParamValue valueNormalized) {
    LockGuard guard(lock);
    if (!IsValidParam(static_cast<int>(id))) return 0;
    return Param(static_cast<int>(id))->ValueFromNormalized(Normalized(valueNormalized));
}

ParamValue Vst3Plugin::plainParamToNormalized(ParamID id, ParamValue plainValue) {
    LockGuard guard(lock);
    if (!IsValidParam(static_cast<int>(id)) || std::isnan(plainValue)) return 0;
    return Param(static_cast<int>(id))->NormalizedValueOf(plainValue);
}

ParamValue Vst3Plugin::getParamNormalized(ParamID id) {
    return HostParamValue(*this, static_cast<int>(id));
}

// Processor and controller being one object, the host's value is the parameter's at once; the
// panel hears of it.
tresult Vst3Plugin::setParamNormalized(ParamID id, ParamValue value) {
    if (!IsValidParam(static_cast<int>(id))) return kInvalidArgument;
    ApplyHostParam(*this, static_cast<int>(id), value);
    return kResultOk;
}

tresult Vst3Plugin::setComponentHandler(IComponentHandler* handler) {
    LockGuard guard(lock);
    if (handler == componentHandler_) return kResultOk;
    if (handler != nullptr) handler->addRef();
    if (componentHandler_ != nullptr) componentHandler_->release();
    componentHandler_ = handler;
    return kResultOk;
}

IPlugView* Vst3Plugin::createView(FIDString name) {
    if (name == nullptr || std::strcmp(name, kEditorViewType) != 0 || !initialized_ ||
        WindowEditor() == nullptr) {
        return nullptr;
    }
    return new (std::nothrow) Vst3View(*this);
}

// The editor's edits, on the UI thread that runs its window, as every use of the handler is.
void Vst3Plugin::BeginParamEdit(int index) {
    if (componentHandler_ != nullptr) componentHandler_->beginEdit(static_cast<ParamID>(index));
}

void Vst3Plugin::AutomateParam(int index, double normalized) {
    if (componentHandler_ != nullptr) {
        componentHandler_->performEdit(static_cast<ParamID>(index), normalized);
    }
}

void Vst3Plugin::EndParamEdit(int index) {
    if (componentHandler_ != nullptr) componentHandler_->endEdit(static_cast<ParamID>(index));
}

void Vst3Plugin::ReportPresetChange() {
    if (componentHandler_ != nullptr) componentHandler_->restartComponent(kParamValuesChanged);
}

void Vst3Plugin::GetTimeSignature(std::int32_t* numerator, std::int32_t* denominator) {
    *numerator = 0;
    *denominator = 0;
}

void Vst3Plugin::ResizeEditor(int, int) {
    if (editorView_ != nullptr) editorView_->Resized();
}

bool Vst3Plugin::RequestEditorSize(int, int) {
    if (editorView_ == nullptr) return false;
    editorView_->Resized();
    return true;
}
