#include "vst3/vst3_factory.h"

#include <atomic>
#include <cstring>

#include "generated/orv_identity.h"
#include "plugin/plugin_lock.h"
#include "plugin/text_copy.h"
#include "vst3/vst3_strings.h"

using namespace vst3;

namespace {

constexpr Tuid kClassId = MakeTuid(identity::kVst3ClassId[0], identity::kVst3ClassId[1],
                                   identity::kVst3ClassId[2], identity::kVst3ClassId[3]);

class Vst3Factory final : public IPluginFactory3 {
public:
    void SetCreate(Vst3PluginCreate create) { create_ = create; }

    tresult queryInterface(const char* iid, void** obj) override {
        if (obj == nullptr) return kInvalidArgument;
        if (SameTuid(iid, kFUnknownIid) || SameTuid(iid, kIPluginFactoryIid) ||
            SameTuid(iid, kIPluginFactory2Iid) || SameTuid(iid, kIPluginFactory3Iid)) {
            addRef();
            *obj = static_cast<IPluginFactory3*>(this);
            return kResultOk;
        }
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 addRef() override { return ++references_; }
    uint32 release() override {
        const uint32 left = --references_;
        if (left == 0) ForgetHostContext();
        return left;
    }

    tresult getFactoryInfo(PFactoryInfo* info) override {
        if (info == nullptr) return kInvalidArgument;
        std::memset(info, 0, sizeof(*info));
        CopyText(info->vendor, sizeof(info->vendor), identity::kVendorName);
        CopyText(info->url, sizeof(info->url), identity::kUrl);
        CopyText(info->email, sizeof(info->email), identity::kSupportEmail);
        info->flags = kFactoryUnicode;
        return kResultOk;
    }
    int32 countClasses() override { return 1; }

    // What the three class records have in common: the id, the count of instances, the category.
    template <typename ClassInfo>
    static void FillClassHead(ClassInfo* info) {
        std::memset(info, 0, sizeof(*info));
        std::memcpy(info->cid, kClassId.bytes, 16);
        info->cardinality = kManyInstances;
        CopyText(info->category, sizeof(info->category), identity::kVst3Category);
    }

    tresult getClassInfo(int32 index, PClassInfo* info) override {
        if (index != 0 || info == nullptr) return kInvalidArgument;
        FillClassHead(info);
        CopyText(info->name, sizeof(info->name), identity::kProductName);
        return kResultOk;
    }
    tresult getClassInfo2(int32 index, PClassInfo2* info) override {
        if (index != 0 || info == nullptr) return kInvalidArgument;
        FillClassHead(info);
        CopyText(info->name, sizeof(info->name), identity::kProductName);
        CopyText(info->subCategories, sizeof(info->subCategories), identity::kVst3SubCategories);
        CopyText(info->vendor, sizeof(info->vendor), identity::kVendorName);
        CopyText(info->version, sizeof(info->version), identity::kVersionText);
        CopyText(info->sdkVersion, sizeof(info->sdkVersion), identity::kVst3SdkVersion);
        return kResultOk;
    }
    tresult getClassInfoUnicode(int32 index, PClassInfoW* info) override {
        if (index != 0 || info == nullptr) return kInvalidArgument;
        FillClassHead(info);
        CopyToString16(info->name, 64, identity::kProductName);
        CopyText(info->subCategories, sizeof(info->subCategories), identity::kVst3SubCategories);
        CopyToString16(info->vendor, 64, identity::kVendorName);
        CopyToString16(info->version, 64, identity::kVersionText);
        CopyToString16(info->sdkVersion, 64, identity::kVst3SdkVersion);
        return kResultOk;
    }

    tresult createInstance(FIDString cid, FIDString iid, void** obj) override {
        if (obj == nullptr) return kInvalidArgument;
        *obj = nullptr;
        if (!SameTuid(cid, kClassId) || create_ == nullptr) return kNoInterface;
        LockGuard guard(creating_);
        Vst3Plugin* plugin = create_(hostContext_);
        if (plugin == nullptr) return kOutOfMemory;
        // As the VST 2 entry does: every preset the effect left empty holds the defaults.
        if (!plugin->IsComplete() || !plugin->AddPreset("Empty", plugin->PresetCount())) {
            plugin->release();
            return kOutOfMemory;
        }
        const tresult result = plugin->queryInterface(iid, obj);
        plugin->release();
        return result;
    }

    tresult setHostContext(FUnknown* context) override {
        if (context != nullptr) context->addRef();
        ForgetHostContext();
        hostContext_ = context;
        return kResultOk;
    }

private:
    void ForgetHostContext() {
        if (hostContext_ != nullptr) hostContext_->release();
        hostContext_ = nullptr;
    }

    std::atomic<uint32> references_{0};
    Vst3PluginCreate create_ = nullptr;
    FUnknown* hostContext_ = nullptr;
    // Instances are made one at a time, as VST 2's entry lock makes them.
    PluginLock creating_;
};

// Process-wide: made when the module loads, destroyed when it unloads.
Vst3Factory gFactory;

}  // namespace

IPluginFactory* AcquireVst3Factory(Vst3PluginCreate create) {
    gFactory.SetCreate(create);
    gFactory.addRef();
    return &gFactory;
}
