#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "host/vst_host.h"
#include "vst/vst_plugin.h"

using namespace vst2;

namespace {

const PluginConstants kConstants = {2, "1-1 2-2", 1, "Test", "", "Maker", 1, 2, 0x00010203};

// A VstPlugin wired to a recording host without a module in between.
struct Bound {
    host::RecordingHost host;
    std::unique_ptr<VstPlugin> plug{new VstPlugin(&host::RecordingHost::Callback, kConstants)};
    Bound() { plug->Effect()->resvd1 = reinterpret_cast<intptr>(&host); }
};

}  // namespace

TEST(IdentifyHostTest, FirstRowOfTheTableWinsInAnyLetterCase) {
    EXPECT_EQ(VstPlugin::IdentifyHost("REAPER"), 1);
    EXPECT_EQ(VstPlugin::IdentifyHost("Ableton Live with Cubase inside"), 3);
    EXPECT_EQ(VstPlugin::IdentifyHost("Adobe Audition"), 17);
    EXPECT_EQ(VstPlugin::IdentifyHost("Steinberg Nuendo Live"), 4)
        << "nuendo is tested before live";
    EXPECT_EQ(VstPlugin::IdentifyHost("VST3PluginTestHost"), 27);
    EXPECT_EQ(VstPlugin::IdentifyHost("Digital Performer"), 23);
    EXPECT_EQ(VstPlugin::IdentifyHost("ProTools"), 2);
    EXPECT_EQ(VstPlugin::IdentifyHost("Standalone"), 24);
    EXPECT_EQ(VstPlugin::IdentifyHost("Bitwig Studio"), 0);
    EXPECT_EQ(VstPlugin::IdentifyHost(""), 0);
    EXPECT_EQ(VstPlugin::IdentifyHost(std::string(400, 'a').append("reaper").c_str()), 0)
        << "only the first 255 characters are searched";
}

TEST(HostCodeTest, AsksTheHostOnceAndPacksItsVersion) {
    Bound b;
    b.host.productString = "Cockos REAPER";
    b.host.vendorVersion = 10203;
    EXPECT_EQ(b.plug->HostCode(), 1);
    EXPECT_EQ(b.plug->HostVersion(), (1 << 16) | (2 << 8) | 3);
    EXPECT_EQ(b.plug->HostCode(), 1);
    EXPECT_EQ(b.host.CountOf(audioMasterGetProductString), 1);
    EXPECT_EQ(b.host.CountOf(audioMasterGetVendorVersion), 1);
}

// The packed version can need more than 32 bits; it is kept as its low 32 bits, with no
// overflow on the way (the undefined-behaviour sanitizer watches the arithmetic).
TEST(HostCodeTest, HugeVendorVersionsPackWithoutOverflow) {
    const struct {
        vst2::int32 version;
        std::int64_t packed;
    } cases[] = {{327679999, 32767 * 65536LL + 99 * 256 + 99},
                 {327680000, 32768 * 65536LL},
                 {2000000000, 200000 * 65536LL},
                 {2147483647, 214748 * 65536LL + 36 * 256 + 47},
                 {-2147483647 - 1, -214748 * 65536LL - 36 * 256 - 48}};
    for (const auto& c : cases) {
        Bound b;
        b.host.vendorVersion = c.version;
        EXPECT_EQ(b.plug->HostCode(), 0);
        EXPECT_EQ(b.plug->HostVersion(), static_cast<std::int32_t>(c.packed)) << c.version;
    }
}

TEST(HostCodeTest, EmptyProductGivesCodeAndVersionZero) {
    Bound b;
    b.host.productString = "";
    b.host.vendorVersion = 2400;
    EXPECT_EQ(b.plug->HostCode(), 0);
    EXPECT_EQ(b.plug->HostVersion(), 0);
    EXPECT_EQ(b.host.CountOf(audioMasterGetVendorVersion), 0);
}

TEST(HostCodeTest, UnterminatedProductTextIsReadNoFurtherThanItsBuffer) {
    Bound b;
    b.host.productString = std::string(300, 'x');
    EXPECT_EQ(b.plug->HostCode(), 0);
}

TEST(TransportTest, FreshValuesStayWithoutValidFlags) {
    Bound b;
    EXPECT_EQ(b.plug->GetTempo(), 120) << "no time record";
    b.host.hasTimeInfo = true;
    b.host.timeInfo.tempo = 90;
    b.host.timeInfo.flags = kVstTransportPlaying | kVstNanosValid;
    TransportInfo info;
    b.plug->GetTransportInfo(info);
    EXPECT_EQ(info.tempo, 120);
    EXPECT_EQ(info.samplePosition, -1);
    EXPECT_FALSE(info.running) << "an unusable record leaves everything unchanged";
}

TEST(TransportTest, EachFieldNeedsItsFlagAndASaneValue) {
    Bound b;
    b.host.hasTimeInfo = true;
    VstTimeInfo& t = b.host.timeInfo;
    t = {};
    t.flags = kVstTempoValid | kVstPpqPosValid | kVstCyclePosValid | kVstTimeSigValid |
              kVstTransportPlaying | kVstTransportCycleActive;
    t.samplePos = 512;
    t.tempo = 0;
    t.ppqPos = 3.5;
    t.barStartPos = 2;  // its flag is missing
    t.cycleStartPos = 1;
    t.cycleEndPos = -1;  // both must be >= 0
    t.timeSigNumerator = 7;
    t.timeSigDenominator = 0;  // both must be > 0
    TransportInfo info;
    b.plug->GetTransportInfo(info);
    EXPECT_EQ(info.samplePosition, 512);
    EXPECT_EQ(info.tempo, 120);
    EXPECT_EQ(info.ppqPosition, 3.5);
    EXPECT_EQ(info.lastBarPosition, -1);
    EXPECT_EQ(info.cycleStart, -1);
    EXPECT_EQ(info.numerator, 4);
    EXPECT_TRUE(info.running);
    EXPECT_TRUE(info.looping);

    t.tempo = 140;
    EXPECT_EQ(b.plug->GetTempo(), 140);
    const auto calls = b.host.Calls();
    EXPECT_EQ(calls.back().opcode, audioMasterGetTime);
    EXPECT_EQ(calls.back().value, 0x3E00);
}

TEST(TransportTest, SamplePositionRoundsAndRejectsNegativePositions) {
    Bound b;
    EXPECT_EQ(b.plug->GetSamplePosition(), 0);
    b.host.hasTimeInfo = true;
    b.host.timeInfo.samplePos = 99.5;
    EXPECT_EQ(b.plug->GetSamplePosition(), 100);
    b.host.timeInfo.samplePos = -1;
    EXPECT_EQ(b.plug->GetSamplePosition(), 0);
    b.host.timeInfo.samplePos = 1e12;
    EXPECT_EQ(b.plug->GetSamplePosition(), 0);
}

TEST(TransportTest, TimeSignatureNeedsItsFlag) {
    Bound b;
    b.host.hasTimeInfo = true;
    b.host.timeInfo.timeSigNumerator = 3;
    b.host.timeInfo.timeSigDenominator = 8;
    std::int32_t numerator = -1, denominator = -1;
    b.plug->GetTimeSignature(&numerator, &denominator);
    EXPECT_EQ(numerator, 0);
    EXPECT_EQ(denominator, 0);
    b.host.timeInfo.flags = kVstTimeSigValid;
    b.plug->GetTimeSignature(&numerator, &denominator);
    EXPECT_EQ(numerator, 3);
    EXPECT_EQ(denominator, 8);
    EXPECT_EQ(b.host.Calls().back().value, kVstTimeSigValid);
}

TEST(HostCallsTest, EditsAutomationAndProcessLevel) {
    Bound b;
    b.plug->BeginParamEdit(1);
    b.plug->AutomateParam(1, 0.25);
    b.plug->EndParamEdit(1);
    const auto calls = b.host.Calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].opcode, audioMasterBeginEdit);
    EXPECT_EQ(calls[1].opcode, audioMasterAutomate);
    EXPECT_EQ(calls[1].index, 1);
    EXPECT_EQ(calls[1].opt, 0.25f);
    EXPECT_EQ(calls[2].opcode, audioMasterEndEdit);

    EXPECT_FALSE(b.plug->IsOfflineRender());
    b.host.processLevel = kVstProcessLevelOffline;
    EXPECT_TRUE(b.plug->IsOfflineRender());
}

TEST(HostCallsTest, MidiOutSucceedsOnlyWhenTheHostAnswersOne) {
    Bound b;
    MidiMessage note;
    note.status = 0x90;
    EXPECT_TRUE(b.plug->SendMidiMessage(note));
    b.host.processEventsAnswer = 2;
    EXPECT_FALSE(b.plug->SendMidiMessage(note));
    SysExMessage sysex;
    b.host.processEventsAnswer = 1;
    EXPECT_TRUE(b.plug->SendSysExMessage(sysex));
}
