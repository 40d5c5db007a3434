// What only VST 3 asks of the built bundle, through its own interfaces as a host meets them: the
// factory's class, unknown interfaces and reference counts, the parameters' flags, and process
// as hosts call it in the wild (before activation, flushes without buses, no input bus, null
// buffers, silence flags). The format suites cover everything VST 3 shares with the others.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/shared_library.h"
#include "host/vst3_host_objects.h"
#include "host/vst3_system.h"
#include "vst3/vst3_abi.h"

using namespace vst3;

namespace {

class Vst3InterfaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        const std::string binary = host::Vst3BundleBinary(ORV_VST3_BUNDLE);
        library_ = host::SharedLibrary::Open(binary, &error);
        ASSERT_NE(library_, nullptr) << error;
        ASSERT_TRUE(host::EnterVst3Module(*library_, binary, &error)) << error;
        using Entry = IPluginFactory* (*)();
        const auto entry = reinterpret_cast<Entry>(library_->Symbol("GetPluginFactory"));
        ASSERT_NE(entry, nullptr);
        factory_ = entry();
        ASSERT_NE(factory_, nullptr);
        PClassInfo info{};
        ASSERT_EQ(factory_->getClassInfo(0, &info), kResultOk);
        std::memcpy(classId_, info.cid, 16);
    }

    void TearDown() override {
        if (component_ != nullptr) {
            component_->terminate();
            component_->release();
        }
        if (factory_ != nullptr) factory_->release();
        if (library_ != nullptr) host::ExitVst3Module(*library_);
    }

    // A new component, initialised, with its processor; the controller is the same object.
    void Create() {
        void* object = nullptr;
        ASSERT_EQ(factory_->createInstance(classId_, kIComponentIid.bytes, &object), kResultOk);
        component_ = static_cast<IComponent*>(object);
        ASSERT_EQ(component_->initialize(&application_), kResultOk);
        ASSERT_EQ(component_->queryInterface(kIAudioProcessorIid.bytes, &object), kResultOk);
        processor_ = static_cast<IAudioProcessor*>(object);
        processor_->release();  // the same object, which component_ holds
        ASSERT_EQ(component_->queryInterface(kIEditControllerIid.bytes, &object), kResultOk);
        controller_ = static_cast<IEditController*>(object);
        controller_->release();
    }

    void Activate(int block = 256) {
        ProcessSetup setup{kRealtime, kSample32, block, 48000};
        ASSERT_EQ(processor_->setupProcessing(setup), kResultOk);
        ASSERT_EQ(component_->setActive(1), kResultOk);
        ASSERT_EQ(processor_->setProcessing(1), kResultOk);
    }

    // One float block of a constant input; the output bus's silence flags come back in `flags`.
    tresult Process(float in, int frames, std::vector<float>* left, uint64* flags = nullptr,
                    bool inputBus = true) {
        std::vector<float> input(static_cast<std::size_t>(frames), in);
        left->assign(static_cast<std::size_t>(frames), 99.0f);
        std::vector<float> right(static_cast<std::size_t>(frames), 99.0f);
        float* ins[] = {input.data(), input.data()};
        float* outs[] = {left->data(), right.data()};
        AudioBusBuffers inBus{}, outBus{};
        inBus.numChannels = outBus.numChannels = 2;
        inBus.channelBuffers32 = ins;
        outBus.channelBuffers32 = outs;
        outBus.silenceFlags = 0x3;  // to be cleared where there is sound
        ProcessData data{};
        data.symbolicSampleSize = kSample32;
        data.numSamples = frames;
        data.numInputs = inputBus ? 1 : 0;
        data.numOutputs = 1;
        data.inputs = inputBus ? &inBus : nullptr;
        data.outputs = &outBus;
        const tresult result = processor_->process(data);
        if (flags != nullptr) *flags = outBus.silenceFlags;
        return result;
    }

    std::unique_ptr<host::SharedLibrary> library_;
    host::Vst3RunLoop runLoop_;
    struct NamedModule : host::PluginModule {
        const char* FormatName() const override { return "test"; }
        host::DamagedState TakesDamagedState() const override { return {}; }
        std::unique_ptr<host::PluginInstance> CreateInstance() override { return nullptr; }
    } names_;
    host::Vst3HostApplication application_{names_, runLoop_};
    IPluginFactory* factory_ = nullptr;
    char classId_[16] = {};
    IComponent* component_ = nullptr;
    IAudioProcessor* processor_ = nullptr;
    IEditController* controller_ = nullptr;
};

}  // namespace

TEST_F(Vst3InterfaceTest, TheFactoryListsOneEffectUnderItsFixedClassId) {
    PFactoryInfo factoryInfo{};
    ASSERT_EQ(factory_->getFactoryInfo(&factoryInfo), kResultOk);
    EXPECT_STREQ(factoryInfo.vendor, "ORV AUDIO");
    EXPECT_EQ(factoryInfo.flags, kFactoryUnicode);
    ASSERT_EQ(factory_->countClasses(), 1);
    // The id words "zQ71", "ORV ", "VST3", "Q12\0", in the byte order of this system.
    const Tuid expected = MakeTuid(0x7A513731, 0x4F525620, 0x56535433, 0x51313200);
    EXPECT_EQ(std::memcmp(classId_, expected.bytes, 16), 0);
    void* object = nullptr;
    ASSERT_EQ(factory_->queryInterface(kIPluginFactory3Iid.bytes, &object), kResultOk);
    auto* factory3 = static_cast<IPluginFactory3*>(object);
    PClassInfoW info{};
    ASSERT_EQ(factory3->getClassInfoUnicode(0, &info), kResultOk);
    EXPECT_STREQ(info.category, "Audio Module Class");
    EXPECT_STREQ(info.subCategories, "Fx|Distortion");
    EXPECT_EQ(std::u16string(info.name), u"ORV Q12");
    EXPECT_EQ(std::u16string(info.version), u"1.1.0");
    factory3->release();
    char other[16] = {};
    EXPECT_EQ(factory_->createInstance(other, kIComponentIid.bytes, &object), kNoInterface);
    EXPECT_EQ(object, nullptr);
}

TEST_F(Vst3InterfaceTest, UnknownInterfacesAndReferenceCounts) {
    Create();
    void* object = &object;
    const Tuid unknown = MakeTuid(0x309ECE78, 0xEB7D4FAE, 0x8B2225D9, 0x09FD08B6);
    EXPECT_EQ(component_->queryInterface(unknown.bytes, &object), kNoInterface);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(component_->addRef(), 2u);
    ASSERT_EQ(component_->queryInterface(kFUnknownIid.bytes, &object), kResultOk);
    EXPECT_EQ(object, static_cast<void*>(component_)) << "FUnknown is the component's";
    EXPECT_EQ(component_->release(), 2u);
    EXPECT_EQ(component_->release(), 1u);
    EXPECT_EQ(component_->initialize(&application_), kResultFalse) << "initialised twice";
    // A view keeps the object alive; terminating with it attached answers its removed with false.
    IPlugView* view = controller_->createView("editor");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(controller_->createView("other"), nullptr);
    ViewRect size{};
    ASSERT_EQ(view->getSize(&size), kResultOk);
    EXPECT_EQ(size.right - size.left, 300);
    EXPECT_EQ(size.bottom - size.top, 350);
    EXPECT_EQ(view->canResize(), kResultFalse);
    EXPECT_EQ(view->onKeyDown(u'a', 0, 0), kResultFalse) << "keys are the host's";
    EXPECT_EQ(view->attached(nullptr, host::Vst3WindowType()), kInvalidArgument);
    EXPECT_EQ(view->removed(), kResultFalse);
    EXPECT_EQ(view->release(), 0u);
}

TEST_F(Vst3InterfaceTest, ParametersAsAHostListsThem) {
    Create();
    ASSERT_EQ(controller_->getParameterCount(), 7);
    for (int32 i = 0; i < 7; ++i) {
        ParameterInfo info{};
        ASSERT_EQ(controller_->getParameterInfo(i, info), kResultOk);
        EXPECT_EQ(info.id, static_cast<ParamID>(i));
        EXPECT_EQ(info.stepCount, i >= 4 ? 1 : 0) << i;
        EXPECT_EQ(info.flags, i == 6 ? kIsBypass | kCanAutomate : kCanAutomate) << i;
        EXPECT_DOUBLE_EQ(info.defaultNormalizedValue, controller_->getParamNormalized(i));
    }
    ParameterInfo info{};
    EXPECT_EQ(controller_->getParameterInfo(7, info), kInvalidArgument);
    String128 text{};
    ASSERT_EQ(controller_->getParamStringByValue(1, 2.0, text), kResultOk);
    EXPECT_EQ(std::u16string(text), u"10.000") << "beyond 1 shows the end of the range";
    EXPECT_EQ(controller_->getParamStringByValue(9, 0.5, text), kInvalidArgument);
    EXPECT_DOUBLE_EQ(controller_->normalizedParamToPlain(1, 0.25), 2.5);
    EXPECT_DOUBLE_EQ(controller_->plainParamToNormalized(1, 7.5), 0.75);
}

TEST_F(Vst3InterfaceTest, ProcessAsHostsCallIt) {
    Create();
    std::vector<float> out;
    EXPECT_EQ(Process(0.3f, 64, &out), kNotInitialized) << "before setActive";
    EXPECT_EQ(out[0], 99.0f) << "nothing written";
    Activate();

    // A flush: no frames, no buses, a change all the same.
    host::Vst3ParamChanges changes;
    ASSERT_TRUE(changes.Add(3, 0, 0.0));
    ProcessData flush{};
    flush.symbolicSampleSize = kSample32;
    flush.inputParameterChanges = &changes;
    EXPECT_EQ(processor_->process(flush), kResultOk);
    EXPECT_EQ(controller_->getParamNormalized(3), 0.0);

    // Volume 0: silence, flagged; then sound, not flagged.
    uint64 flags = 0;
    EXPECT_EQ(Process(0.3f, 64, &out, &flags), kResultOk);
    EXPECT_EQ(out, std::vector<float>(64, 0.0f));
    EXPECT_EQ(flags, 0x3u);
    ASSERT_EQ(controller_->setParamNormalized(3, 0.5), kResultOk);
    for (int i = 0; i < 8; ++i) Process(0.3f, 256, &out, &flags);
    EXPECT_EQ(flags, 0u);
    EXPECT_NE(out[255], 0.0f);

    // No input bus plays silence; a longer block than announced runs in pieces; null buffers
    // are survived.
    EXPECT_EQ(Process(0.0f, 1000, &out, &flags, false), kResultOk);
    for (float s : out) ASSERT_TRUE(s > -64 && s < 64);
    AudioBusBuffers nullBus{};
    nullBus.numChannels = 2;
    ProcessData nulls{};
    nulls.numSamples = 64;
    nulls.numInputs = nulls.numOutputs = 1;
    nulls.inputs = nulls.outputs = &nullBus;
    EXPECT_EQ(processor_->process(nulls), kResultOk);
    nulls.symbolicSampleSize = 7;
    EXPECT_EQ(processor_->process(nulls), kInvalidArgument);

    // Only mono and stereo, in and out alike, and not while active.
    SpeakerArrangement mono = kSpeakerMono, stereo = kSpeakerStereo;
    EXPECT_EQ(processor_->setBusArrangements(&mono, 1, &mono, 1), kResultFalse) << "active";
    ASSERT_EQ(component_->setActive(0), kResultOk);
    EXPECT_EQ(processor_->setBusArrangements(&mono, 1, &stereo, 1), kResultFalse);
    EXPECT_EQ(processor_->setBusArrangements(&mono, 1, &mono, 1), kResultTrue);
    SpeakerArrangement now = 0;
    ASSERT_EQ(processor_->getBusArrangement(kOutput, 0, now), kResultOk);
    EXPECT_EQ(now, kSpeakerMono);
}
