#include "host/vst_host.h"

#include <algorithm>
#include <cstring>

using namespace vst2;

namespace host {

std::unique_ptr<VstModule> VstModule::Load(const std::string& path, std::string* error) {
    std::unique_ptr<SharedLibrary> library = SharedLibrary::Open(path, error);
    if (library == nullptr) return nullptr;
    return std::unique_ptr<VstModule>(new VstModule(std::move(library)));
}

EntryPoint VstModule::Entry(const char* name) const {
    return reinterpret_cast<EntryPoint>(library_->Symbol(name));
}

namespace {
// The host an effect is being created for, until its AEffect can carry the binding.
thread_local RecordingHost* hostBeingBound = nullptr;
}  // namespace

AEffect* RecordingHost::Instantiate(EntryPoint entry) {
    if (entry == nullptr) return nullptr;
    hostBeingBound = this;
    AEffect* effect = entry(&RecordingHost::Callback);
    hostBeingBound = nullptr;
    // resvd1 belongs to the host.
    if (effect != nullptr) effect->resvd1 = reinterpret_cast<intptr>(this);
    return effect;
}

intptr RecordingHost::Callback(AEffect* effect, int32 opcode, int32 index, intptr value, void* ptr,
                               float opt) {
    RecordingHost* self = effect != nullptr && effect->resvd1 != 0
                              ? reinterpret_cast<RecordingHost*>(effect->resvd1)
                              : hostBeingBound;
    if (self == nullptr) return opcode == audioMasterVersion ? kVstVersion : 0;
    {
        std::lock_guard<std::mutex> guard(self->mutex_);
        self->calls_.push_back({opcode, index, value, opt});
    }
    return self->Answer(opcode, index, value, ptr, opt);
}

intptr RecordingHost::Answer(int32 opcode, int32 /*index*/, intptr /*value*/, void* ptr,
                             float /*opt*/) {
    switch (opcode) {
        case audioMasterVersion: return kVstVersion;
        case audioMasterGetTime: return hasTimeInfo ? reinterpret_cast<intptr>(&timeInfo) : 0;
        case audioMasterProcessEvents: return processEventsAnswer;
        case audioMasterGetSampleRate: return static_cast<intptr>(sampleRate);
        case audioMasterGetBlockSize: return blockSize;
        case audioMasterGetCurrentProcessLevel: return processLevel;
        case audioMasterGetVendorVersion: return vendorVersion;
        case audioMasterGetProductString:
        case audioMasterGetVendorString:
            if (ptr == nullptr) return 0;
            // Like a careless host, a text of 256 characters or more fills the plug-in's
            // 256-byte buffer without a terminator.
            std::memcpy(ptr, productString.c_str(),
                        std::min<std::size_t>(productString.size() + 1, 256));
            return 1;
        default: return 0;
    }
}

std::vector<HostCallRecord> RecordingHost::Calls() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return calls_;
}

int RecordingHost::CountOf(int32 opcode) const {
    std::lock_guard<std::mutex> guard(mutex_);
    return static_cast<int>(
        std::count_if(calls_.begin(), calls_.end(),
                      [opcode](const HostCallRecord& c) { return c.opcode == opcode; }));
}

void RecordingHost::ClearCalls() {
    std::lock_guard<std::mutex> guard(mutex_);
    calls_.clear();
}

intptr HostedEffect::Dispatch(int32 opcode, int32 index, intptr value, void* ptr, float opt) const {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string HostedEffect::Text(int32 opcode, int32 index) const {
    char buffer[256] = {};
    Dispatch(opcode, index, 0, buffer);
    buffer[sizeof(buffer) - 1] = '\0';
    return buffer;
}

void HostedEffect::Process(float** in, float** out, int32 frames) const {
    effect_->process(effect_, in, out, frames);
}

void HostedEffect::ProcessReplacing(float** in, float** out, int32 frames) const {
    effect_->processReplacing(effect_, in, out, frames);
}

void HostedEffect::ProcessDoubleReplacing(double** in, double** out, int32 frames) const {
    effect_->processDoubleReplacing(effect_, in, out, frames);
}

float HostedEffect::GetParameter(int32 index) const {
    return effect_->getParameter(effect_, index);
}

void HostedEffect::SetParameter(int32 index, float value) const {
    effect_->setParameter(effect_, index, value);
}

void HostedEffect::Start(float sampleRate, int32 blockSize) const {
    Dispatch(effOpen);
    Dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    Dispatch(effSetBlockSize, 0, blockSize);
    Dispatch(effMainsChanged, 0, 1);
}

void HostedEffect::Close() {
    if (effect_ == nullptr) return;
    Dispatch(effMainsChanged, 0, 0);
    Dispatch(effClose);
    effect_ = nullptr;
}

}  // namespace host
