// Saving and restoring ORV Q12 through program and bank chunks, as hosts do.
#include <cstring>
#include <string>
#include <vector>

#include "tests/e2e/chunk_bytes.h"
#include "tests/e2e/module_fixture.h"

using namespace vst2;

namespace {

std::vector<std::string> Displays(const host::HostedEffect& fx) {
    std::vector<std::string> texts;
    for (int i = 0; i < 7; ++i) texts.push_back(fx.Text(effGetParamDisplay, i));
    return texts;
}

}  // namespace

TEST_F(ModuleTest, DefaultProgramChunkBytes) {
    host::HostedEffect fx = Create();
    Bytes expected = kHeader;
    for (double v : {1.0, 5.0, 5.0, 5.0, 0.0, 1.0, 0.0}) AppendDouble(expected, v);
    ASSERT_EQ(expected.size(), 64u);
    EXPECT_EQ(GetChunk(fx, false), expected);
    EXPECT_EQ(Bytes(expected.begin() + 8, expected.begin() + 16),
              (Bytes{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
}

TEST_F(ModuleTest, BankChunkRestoresIntoAFreshInstanceExactly) {
    host::HostedEffect source = Create();
    source.Dispatch(effOpen);
    source.SetParameter(0, 0.3f);
    source.SetParameter(1, 0.9f);
    source.SetParameter(3, 0.125f);
    source.SetParameter(4, 1.0f);
    source.Dispatch(effSetProgramName, 0, 0, const_cast<char*>("crunch"));
    const Bytes bank = GetChunk(source, true);
    ASSERT_EQ(bank.size(), 8u + 4 + 6 + 1 + 56);

    host::HostedEffect target = Create("main");
    target.Dispatch(effOpen);
    EXPECT_EQ(SetChunk(target, true, bank), 1);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(target.GetParameter(i), source.GetParameter(i)) << i;
    EXPECT_EQ(Displays(target), Displays(source));
    EXPECT_EQ(target.Text(effGetProgramName), "crunch");
    EXPECT_EQ(GetChunk(target, true), bank);
    EXPECT_EQ(GetChunk(target, false), GetChunk(source, false));

    // A host handing back the very buffer it was given.
    void* own = nullptr;
    const intptr size = target.Dispatch(effGetChunk, 0, 0, &own);
    EXPECT_EQ(target.Dispatch(effSetChunk, 0, size, own), 1);
    EXPECT_EQ(GetChunk(target, true), bank);
}

TEST_F(ModuleTest, ProgramChunksWithAndWithoutHeader) {
    host::HostedEffect fx = Create();
    Bytes bare;
    for (double v : {2.0, 10.0, 0.0, 1.0, 1.0, 0.0, 1.0}) AppendDouble(bare, v);
    EXPECT_EQ(SetChunk(fx, false, bare), 1);
    EXPECT_EQ(Displays(fx),
              (std::vector<std::string>{"2.000", "10.000", "0.000", "1.000", "1", "0", "1"}));

    Bytes outOfRange = kHeader;
    for (double v : {-3.0, 11.0, 5.0, 5.0, 7.0, -1.0, 0.5}) AppendDouble(outOfRange, v);
    EXPECT_EQ(SetChunk(fx, false, outOfRange), 1);
    EXPECT_EQ(Displays(fx),
              (std::vector<std::string>{"0.000", "10.000", "5.000", "5.000", "1", "0", "0"}));
}

TEST_F(ModuleTest, TruncatedProgramChunkLoadsWhatItCoversAndFails) {
    host::HostedEffect fx = Create();
    fx.SetParameter(6, 1.0f);
    Bytes chunk = kHeader;
    for (double v : {1.5, 2.0, 3.0, 4.0, 1.0, 0.0, 1.0}) AppendDouble(chunk, v);
    chunk.pop_back();
    EXPECT_EQ(SetChunk(fx, false, chunk), 0);
    EXPECT_EQ(Displays(fx),
              (std::vector<std::string>{"1.500", "2.000", "3.000", "4.000", "1", "0", "0"}));
}

TEST_F(ModuleTest, MalformedChunksFailSafely) {
    host::HostedEffect fx = Create();
    fx.SetParameter(1, 0.75f);
    const Bytes bank = GetChunk(fx, true);

    std::vector<Bytes> malformed;
    for (std::size_t n = 1; n <= 7; ++n) malformed.push_back(Bytes(n, 0x74));
    malformed.push_back(kHeader);
    malformed.push_back(Bytes(kHeader.begin(), kHeader.begin() + 5));
    Bytes garbage(300);
    for (std::size_t i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<std::uint8_t>(i * 37 + 11);
    malformed.push_back(garbage);
    Bytes hugeName = kHeader;
    for (int b : {0xFF, 0xFF, 0xFF, 0x7F, int{'x'}, 1})
        hugeName.push_back(static_cast<std::uint8_t>(b));
    malformed.push_back(hugeName);
    malformed.push_back(Bytes(bank.begin(), bank.end() - 3));

    for (const Bytes& chunk : malformed) {
        for (bool asBank : {false, true}) {
            SetChunk(fx, asBank, chunk);
            GetChunk(fx, asBank);
        }
    }
    EXPECT_EQ(SetChunk(fx, true, hugeName), 0);
    EXPECT_EQ(SetChunk(fx, false, Bytes(kHeader.begin(), kHeader.begin() + 6)), 0);
    EXPECT_EQ(SetChunk(fx, true, Bytes(bank.begin(), bank.end() - 3)), 0);
    EXPECT_EQ(SetChunk(fx, true, bank), 1) << "a good chunk still loads afterwards";
    EXPECT_EQ(fx.Text(effGetParamDisplay, 1), "7.500");
}

TEST_F(ModuleTest, BankWithAFlagOfZeroBecomesAUserPreset) {
    host::HostedEffect fx = Create();
    Bytes bank = kHeader;
    bank.insert(bank.end(), {4, 0, 0, 0, 'n', 'a', 'm', 'e', 0});
    EXPECT_EQ(SetChunk(fx, true, bank), 1);
    EXPECT_EQ(fx.Text(effGetProgramName), "user preset 1");
}

TEST_F(ModuleTest, SetChunkRejectsUnusableArguments) {
    host::HostedEffect fx = Create();
    fx.SetParameter(2, 0.2f);
    const Bytes before = GetChunk(fx, false);
    Bytes data = before;
    EXPECT_EQ(fx.Dispatch(effSetChunk, 1, 64, nullptr), 0);
    for (intptr size : {intptr{0}, intptr{-64}, intptr{1} << 40}) {
        EXPECT_EQ(fx.Dispatch(effSetChunk, 1, size, data.data()), 0) << size;
        EXPECT_EQ(fx.Dispatch(effSetChunk, 0, size, data.data()), 0) << size;
    }
    EXPECT_EQ(GetChunk(fx, false), before);
    EXPECT_EQ(fx.Dispatch(effGetChunk, 1, 0, nullptr), 0);
}

TEST_F(ModuleTest, ProgramNamesAreCutAndNeverOverflowThePresetRecord) {
    host::HostedEffect fx = Create();
    const std::string longName(1000, 'L');
    fx.Dispatch(effSetProgramName, 0, 0, const_cast<char*>(longName.c_str()));
    const Bytes bank = GetChunk(fx, true);
    ASSERT_EQ(bank.size(), 8u + 4 + 255 + 1 + 56);
    EXPECT_EQ(fx.Text(effGetProgramName), std::string(23, 'L'));
}
