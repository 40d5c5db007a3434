// What a host learns about ORV Q12 before it plays a note: identity, names, texts, abilities.
#include <cstring>

#include "tests/e2e/module_fixture.h"

using namespace vst2;

TEST_F(ModuleTest, EffectRecordCarriesTheProductsIdentity) {
    for (const char* entry : {"VSTPluginMain", "main"}) {
        const AEffect* e = Create(entry).Effect();
        EXPECT_EQ(e->magic, kEffectMagic);
        EXPECT_EQ(e->numPrograms, 1);
        EXPECT_EQ(e->numParams, 7);
        EXPECT_EQ(e->numInputs, 2);
        EXPECT_EQ(e->numOutputs, 2);
        EXPECT_EQ(e->flags, 0x1019);
        EXPECT_EQ(e->uniqueID, FourCharCode('z', 'Q', '7', '1'));
        EXPECT_EQ(e->version, 10100);
        EXPECT_EQ(e->ioRatio, 1.0f);
        EXPECT_EQ(e->initialDelay, 0);
        EXPECT_NE(e->object, nullptr);
        EXPECT_EQ(e->user, nullptr);
        for (char byte : e->future) ASSERT_EQ(byte, 0);
    }
}

TEST_F(ModuleTest, AnswersIdentityQueries) {
    host::HostedEffect fx = Create();
    EXPECT_EQ(fx.Dispatch(effIdentify), 0x4E764566);
    EXPECT_EQ(fx.Dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(fx.Dispatch(effGetPlugCategory), kPlugCategEffect);
    EXPECT_EQ(fx.Dispatch(effGetVendorVersion), 0);
    EXPECT_EQ(fx.Dispatch(effGetTailSize), 0);
    EXPECT_EQ(fx.Text(effGetEffectName), "ORV Q12");
    EXPECT_EQ(fx.Text(effGetVendorString), "ORV AUDIO");
    char product[64] = "unchanged";
    EXPECT_EQ(fx.Dispatch(effGetProductString, 0, 0, product), 1);
    EXPECT_STREQ(product, "");
    EXPECT_EQ(fx.Dispatch(effGetEffectName), 0) << "null buffer";
    EXPECT_EQ(fx.Dispatch(effGetProgram), 0);
    EXPECT_EQ(fx.Text(effGetProgramName), "orv-audio.example");
}

TEST_F(ModuleTest, ParametersHaveNamesLabelsAndDefaultTexts) {
    host::HostedEffect fx = Create();
    const struct {
        const char* name;
        const char* display;
        float normalized;
    } expected[] = {
        {"Input", "1.000", static_cast<float>((1 - 0.0001) / (2 - 0.0001))},
        {"Drive", "5.000", 0.5f},
        {"Filter", "5.000", 0.5f},
        {"Volume", "5.000", 0.5f},
        {"Stereo", "0", 0.0f},
        {"Quality", "1", 1.0f},
        {"Bypass", "0", 0.0f},
    };
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(fx.Text(effGetParamName, i), expected[i].name);
        EXPECT_EQ(fx.Text(effGetParamLabel, i), expected[i].name);
        EXPECT_EQ(fx.Text(effGetParamDisplay, i), expected[i].display);
        EXPECT_EQ(fx.GetParameter(i), expected[i].normalized);
        EXPECT_EQ(fx.Dispatch(effCanBeAutomated, i), 1);
    }
}

TEST_F(ModuleTest, TextsNeverPassTheSizesHostsReserve) {
    host::HostedEffect fx = Create();
    for (int i = 0; i < 7; ++i) fx.SetParameter(i, 1.0f);
    const struct {
        int32 opcode;
        int32 index;
        std::size_t reserved;
    } requests[] = {{effGetParamName, 6, 8},     {effGetParamLabel, 6, 8},
                    {effGetParamDisplay, 3, 8},  {effGetEffectName, 0, 32},
                    {effGetVendorString, 0, 64}, {effGetProgramName, 0, 24}};
    fx.Dispatch(
        effSetProgramName, 0, 0,
        const_cast<char*>("A program name far longer than any host's twenty-four byte buffer"));
    for (const auto& r : requests) {
        char buffer[128];
        std::memset(buffer, 0x5A, sizeof(buffer));
        fx.Dispatch(r.opcode, r.index, 0, buffer);
        EXPECT_LT(std::strlen(buffer), r.reserved) << r.opcode;
        for (std::size_t i = r.reserved; i < sizeof(buffer); ++i)
            ASSERT_EQ(buffer[i], 0x5A) << r.opcode;
    }
    EXPECT_EQ(fx.Text(effGetProgramName), "A program name far long");
    EXPECT_EQ(fx.Text(effGetParamDisplay, 3), "10.000");
}

TEST_F(ModuleTest, CanDoAnswers) {
    host::HostedEffect fx = Create();
    auto canDo = [&](const char* text) {
        return fx.Dispatch(effCanDo, 0, 0, const_cast<char*>(text));
    };
    EXPECT_EQ(canDo("receiveVstTimeInfo"), 1);
    for (const char* midi :
         {"sendVstEvents", "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent"}) {
        EXPECT_EQ(canDo(midi), 0) << midi;
    }
    EXPECT_EQ(canDo("hasCockosExtensions"), 0xBEEF0000);
    EXPECT_EQ(canDo("hasCockosViewAsConfig"), 0xBEEF0000);
    EXPECT_EQ(canDo("ReceiveVstTimeInfo"), 0);
    EXPECT_EQ(canDo("bypass"), 0);
    EXPECT_EQ(fx.Dispatch(effCanDo), 0);
}

TEST_F(ModuleTest, CockosExtensionsFormatValuesAndReportSteppedParameters) {
    host::HostedEffect fx = Create();
    char text[64] = "";
    EXPECT_EQ(fx.Dispatch(effVendorSpecific, 7, 1, text, 0.25f), 0xBEEF);
    EXPECT_STREQ(text, "2.500");
    EXPECT_EQ(fx.Dispatch(effVendorSpecific, 7, 99, text, 0.25f), 0xBEEF);
    EXPECT_EQ(fx.Dispatch(effVendorSpecific, 7, 1, nullptr, 0.25f), 0);
    EXPECT_EQ(fx.Dispatch(effVendorSpecific, 8, 4), 0xBEEF);
    EXPECT_EQ(fx.Dispatch(effVendorSpecific, 8, 1), 0);
    EXPECT_EQ(fx.Dispatch(effVendorSpecific, 8, 7), 0);
    EXPECT_EQ(fx.Dispatch(effVendorSpecific, 3, 1), 0);
}

TEST_F(ModuleTest, PinPropertiesPairTheChannels) {
    host::HostedEffect fx = Create();
    for (int32 opcode : {effGetInputProperties, effGetOutputProperties}) {
        const char* prefix = opcode == effGetInputProperties ? "Input " : "Output ";
        VstPinProperties pin{};
        ASSERT_EQ(fx.Dispatch(opcode, 0, 0, &pin), 1);
        EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
        EXPECT_EQ(std::string(pin.label), prefix + std::string("1"));
        ASSERT_EQ(fx.Dispatch(opcode, 1, 0, &pin), 1);
        EXPECT_EQ(pin.flags, kVstPinIsActive);
        EXPECT_EQ(std::string(pin.label), prefix + std::string("2"));
        EXPECT_EQ(fx.Dispatch(opcode, 2, 0, &pin), 0);
        EXPECT_EQ(fx.Dispatch(opcode, -1, 0, &pin), 0);
        EXPECT_EQ(fx.Dispatch(opcode, 0, 0, nullptr), 0);
    }
}

TEST_F(ModuleTest, ProgramNamesByIndex) {
    host::HostedEffect fx = Create();
    char name[24] = "x";
    EXPECT_EQ(fx.Dispatch(effGetProgramNameIndexed, 0, 0, name), 1);
    EXPECT_STREQ(name, "orv-audio.example");
    EXPECT_EQ(fx.Dispatch(effGetProgramNameIndexed, 5, 0, name), 0);
    EXPECT_STREQ(name, "");
    EXPECT_EQ(fx.Dispatch(effGetProgramNameIndexed, 0, 0, nullptr), 0);
}

TEST_F(ModuleTest, EditorRequestsAgreeWithTheEditorFlag) {
    host::HostedEffect fx = Create();
    const bool offered = (fx.Effect()->flags & effFlagsHasEditor) != 0;
    ERect* rect = nullptr;
    EXPECT_EQ(fx.Dispatch(effEditGetRect, 0, 0, &rect), offered ? 1 : 0);
    if (offered) {
        ASSERT_NE(rect, nullptr);
        EXPECT_EQ(rect->right - rect->left, 300);
        EXPECT_EQ(rect->bottom - rect->top, 350);
    } else {
        EXPECT_EQ(rect, nullptr);
    }
    EXPECT_EQ(fx.Dispatch(effEditOpen), 0) << "no window to open it in";
    EXPECT_EQ(fx.Dispatch(effEditClose), offered ? 1 : 0);
    EXPECT_EQ(fx.Dispatch(effEditIdle), 0);
}

TEST_F(ModuleTest, HostIsIdentifiedOnOpenEvenWithAnUnterminatedProductText) {
    host_.productString = std::string(300, 'r');
    host::HostedEffect fx = Create();
    fx.Dispatch(effOpen);
    EXPECT_EQ(host_.CountOf(audioMasterGetProductString), 1);
    fx.Dispatch(effOpen);
    EXPECT_EQ(host_.CountOf(audioMasterGetProductString), 1) << "the setup runs once";
}
