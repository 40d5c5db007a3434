// State chunks as a project file brings them: the bytes go to effSetChunk as a program or a bank
// chunk; whatever the load reports, the parameters stay in range, a chunk saved now restores
// exactly, and the effect plays finite sound at the settings the load left.
#include <cstdint>
#include <vector>

#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/fuzz_effect.h"

using namespace vst2;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzEffect fx;
    fx.Reset();
    FuzzedDataProvider in(data, size);
    // The trailing bytes choose how; the leading ones are the chunk.
    const bool bank = in.ConsumeBool();
    const int programIndex = in.ConsumeIntegralInRange(1, 3);
    const bool thenProgramChange = in.ConsumeBool();
    std::vector<std::uint8_t> chunk = in.ConsumeRemainingBytes<std::uint8_t>();

    const intptr loaded = fx.Dispatch(effSetChunk, bank ? 0 : programIndex,
                                      static_cast<intptr>(chunk.size()), chunk.data());
    FUZZ_CHECK(loaded == 0 || loaded == 1);
    fx.CheckParameters();
    // Restoring the preset a bank brought must not break anything either.
    if (thenProgramChange) {
        fx.Dispatch(effSetProgram, 0, 0);
        fx.CheckParameters();
    }
    fx.CheckChunkRoundTrip();

    FuzzedDataProvider signal(data, size);
    const StereoBlock block = MakeBlock(signal, 256);
    fx.CheckProcess(block, AudioPath::Double, false);
    fx.CheckParameters();
    return 0;
}
