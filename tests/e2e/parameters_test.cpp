// Setting and reading values as hosts do: normalised callbacks, typed text, bad indices.
#include <cmath>
#include <cstring>
#include <string>
#include <thread>

#include "tests/e2e/module_fixture.h"

using namespace vst2;

TEST_F(ModuleTest, SetParameterSnapsSwitchesAndScalesKnobs) {
    host::HostedEffect fx = Create();
    fx.SetParameter(6, 0.4f);
    EXPECT_EQ(fx.Text(effGetParamDisplay, 6), "0");
    fx.SetParameter(6, 0.6f);
    EXPECT_EQ(fx.Text(effGetParamDisplay, 6), "1");
    EXPECT_EQ(fx.GetParameter(6), 1.0f);
    fx.SetParameter(1, 0.5f);
    EXPECT_EQ(fx.Text(effGetParamDisplay, 1), "5.000");
    fx.SetParameter(0, 1.0f);
    EXPECT_EQ(fx.Text(effGetParamDisplay, 0), "2.000");
    fx.SetParameter(0, 0.0f);
    EXPECT_EQ(fx.Text(effGetParamDisplay, 0), "0.000") << "0.0001 shown with three decimals";
}

// A host's value outside 0..1 is taken as the nearer end: the parameter never leaves its range,
// so its text, a chunk saved from it and the sound all stay within it.
TEST_F(ModuleTest, SetParameterKeepsValuesOutsideZeroToOneInTheRange) {
    host::HostedEffect fx = CreateOpened();
    host::HostedEffect twin = CreateOpened();
    for (int index : {0, 2, 6}) {
        fx.SetParameter(index, -0.5f);
        twin.SetParameter(index, 0.0f);
    }
    fx.SetParameter(3, 7.0f);
    twin.SetParameter(3, 1.0f);
    EXPECT_EQ(fx.Text(effGetParamDisplay, 0), "0.000");
    EXPECT_EQ(fx.Text(effGetParamDisplay, 2), "0.000");
    EXPECT_EQ(fx.Text(effGetParamDisplay, 6), "0");
    EXPECT_EQ(fx.Text(effGetParamDisplay, 3), "10.000");
    void* data = nullptr;
    void* twinData = nullptr;
    const intptr size = fx.Dispatch(effGetChunk, 1, 0, &data);
    ASSERT_EQ(twin.Dispatch(effGetChunk, 1, 0, &twinData), size);
    EXPECT_EQ(std::memcmp(data, twinData, static_cast<size_t>(size)), 0);
}

TEST_F(ModuleTest, InvalidIndicesAndNullBuffersChangeNothing) {
    host::HostedEffect fx = Create();
    EXPECT_EQ(fx.GetParameter(7), 0.0f);
    EXPECT_EQ(fx.GetParameter(-1), 0.0f);
    fx.SetParameter(-1, 1.0f);
    fx.SetParameter(7, 1.0f);
    for (int i = 0; i < 7; ++i) EXPECT_NE(fx.Text(effGetParamDisplay, i), "") << i;
    EXPECT_EQ(fx.Text(effGetParamDisplay, 1), "5.000");

    for (int32 opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay}) {
        char text[16] = "kept";
        EXPECT_EQ(fx.Dispatch(opcode, 7, 0, text), 0);
        EXPECT_EQ(fx.Dispatch(opcode, -1, 0, text), 0);
        EXPECT_STREQ(text, "kept");
        EXPECT_EQ(fx.Dispatch(opcode, 0, 0, nullptr), 0);
    }
    for (int32 opcode :
         {effGetProgramName, effSetProgramName, effGetVendorString, effGetProductString,
          effGetChunk, effSetChunk, effProcessEvents, effGetMidiKeyName, effEditGetRect}) {
        fx.Dispatch(opcode, 0, 0, nullptr);
    }
    EXPECT_EQ(fx.Dispatch(9999), 0);
    EXPECT_EQ(fx.Dispatch(-3), 0);
    EXPECT_EQ(host_.Calls().size(), 0u) << "nothing reached the host";
}

TEST_F(ModuleTest, TypedTextSetsTheClampedValue) {
    host::HostedEffect fx = Create();
    EXPECT_EQ(fx.Dispatch(effString2Parameter, 1), 1) << "null text: conversion supported";
    EXPECT_EQ(fx.Text(effGetParamDisplay, 1), "5.000");
    EXPECT_EQ(fx.Dispatch(effString2Parameter, 1, 0, const_cast<char*>("12")), 1);
    EXPECT_EQ(fx.Text(effGetParamDisplay, 1), "10.000");
    EXPECT_EQ(fx.Dispatch(effString2Parameter, 2, 0, const_cast<char*>(" 2.5 dB")), 1);
    EXPECT_EQ(fx.Text(effGetParamDisplay, 2), "2.500");
    EXPECT_EQ(fx.Dispatch(effString2Parameter, 3, 0, const_cast<char*>("loud")), 1);
    EXPECT_EQ(fx.Text(effGetParamDisplay, 3), "0.000");
    EXPECT_EQ(fx.Dispatch(effString2Parameter, 7, 0, const_cast<char*>("1")), 0);
    // Beyond a double's range: a tiny number is 0, not infinity; a huge one the maximum.
    std::string tiny = "0." + std::string(400, '0') + "1";
    EXPECT_EQ(fx.Dispatch(effString2Parameter, 1, 0, tiny.data()), 1);
    EXPECT_EQ(fx.Text(effGetParamDisplay, 1), "0.000");
    EXPECT_EQ(fx.Dispatch(effString2Parameter, 1, 0, const_cast<char*>("1e999")), 1);
    EXPECT_EQ(fx.Text(effGetParamDisplay, 1), "10.000");
}

TEST_F(ModuleTest, ProgramSelectionKeepsTheValues) {
    host::HostedEffect fx = Create();
    fx.SetParameter(1, 0.25f);
    fx.Dispatch(effSetProgram, 0, 0);
    EXPECT_EQ(fx.Text(effGetParamDisplay, 1), "2.500");
    fx.Dispatch(effSetProgram, 0, 1);
    fx.Dispatch(effSetProgram, 0, 0x100000000LL);
    EXPECT_EQ(fx.Dispatch(effGetProgram), 0);
    EXPECT_EQ(fx.Text(effGetParamDisplay, 1), "2.500");
}

TEST_F(ModuleTest, EventsAreAcceptedAndANegativeCountIsEmpty) {
    host::HostedEffect fx = Create();
    VstMidiEvent note{};
    note.type = kVstMidiType;
    note.byteSize = sizeof(note);
    note.midiData[0] = static_cast<char>(0x90);
    // As hosts allocate it: room for as many event pointers as there are events, here three,
    // one more than the record declares (the sanitizer build checks every index).
    struct {
        VstEvents head;
        VstEvent* more[1];
    } record{};
    VstEvents& events = record.head;
    events.numEvents = 3;
    events.events[0] = nullptr;
    events.events[1] = nullptr;
    record.more[0] = reinterpret_cast<VstEvent*>(&note);
    EXPECT_EQ(fx.Dispatch(effProcessEvents, 0, 0, &events), 1);
    EXPECT_EQ(host_.CountOf(audioMasterProcessEvents), 1) << "MIDI passes through to the host";
    events.numEvents = -5;
    EXPECT_EQ(fx.Dispatch(effProcessEvents, 0, 0, &events), 1);
    EXPECT_EQ(host_.CountOf(audioMasterProcessEvents), 1);
}

TEST_F(ModuleTest, ParameterCallbacksFromAnotherThreadDuringAudio) {
    host::HostedEffect fx = Create();
    fx.Start(48000, 256);
    std::vector<float> in(256, 0.5f), out0(256), out1(256);
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {out0.data(), out1.data()};
    std::thread automation([&] {
        for (int i = 0; i < 2000; ++i) {
            fx.SetParameter(i % 7, static_cast<float>(i % 100) / 100.0f);
            fx.GetParameter((i + 3) % 7);
        }
    });
    for (int block = 0; block < 200; ++block) fx.ProcessReplacing(inputs, outputs, 256);
    automation.join();
    for (float v : out0) ASSERT_TRUE(std::isfinite(v));
}
