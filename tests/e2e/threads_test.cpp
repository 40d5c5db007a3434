// A host's threads on one instance at once, through the module: the audio thread plays in both
// precisions, an automation thread sets and reads parameters, a state thread saves chunks and
// restores them, and the user-interface thread asks for texts and types values. The writers go
// through one host-side lock only so that the order of their writes is known; everything else
// runs freely against them. Afterwards the host reads exactly what the last writer left, every
// value set was read back as set, every chunk saved on the way restores exactly, and the audio
// stayed finite. The thread-sanitizer tree runs it to show that nothing they share races.
#include <atomic>
#include <chrono>
#include <cmath>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/chunk_bytes.h"
#include "tests/e2e/render_helpers.h"

using namespace vst2;

namespace {

constexpr auto kDuration = std::chrono::seconds(2);
constexpr int kParams = 7;
constexpr int kBlock = 256;

// The host's record of its writes: each runs under the lock, and what the host reads right after
// it is what it must read at the end if nothing else writes.
class WriteLog {
public:
    explicit WriteLog(const host::HostedEffect& fx) : fx_(fx) { Record(); }

    template <typename Change>
    void Write(Change write) {
        std::lock_guard<std::mutex> guard(mutex_);
        write();
        Record();
    }

    std::vector<float> Last() {
        std::lock_guard<std::mutex> guard(mutex_);
        return last_;
    }

private:
    void Record() {
        last_.resize(kParams);
        for (int i = 0; i < kParams; ++i) last_[i] = fx_.GetParameter(i);
    }

    const host::HostedEffect& fx_;
    std::mutex mutex_;
    std::vector<float> last_;
};

}  // namespace

TEST_F(ModuleTest, AudioAutomationStateAndTheUserInterfaceThreadsAtOnce) {
    host::HostedEffect fx = CreateOpened();
    fx.Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    fx.Dispatch(effSetBlockSize, 0, kBlock);
    fx.Dispatch(effMainsChanged, 0, 1);
    WriteLog log(fx);
    std::atomic<bool> stop{false};
    std::atomic<int> blocks{0}, automations{0}, restores{0}, queries{0};
    std::atomic<int> misread{0}, outOfRange{0}, notFinite{0}, failedLoads{0};
    std::vector<Bytes> saved;  // the state thread's alone until it is joined

    std::thread audio([&] {
        std::vector<float> in(kBlock), out0(kBlock), out1(kBlock);
        std::vector<double> din(kBlock);
        for (int n = 0; !stop; ++n) {
            for (int s = 0; s < kBlock; ++s) din[s] = in[s] = 0.4f * std::sin(0.05f * (s + n));
            float* inputs[] = {in.data(), in.data()};
            float* outputs[] = {out0.data(), out1.data()};
            double* dinputs[] = {din.data(), din.data()};
            if (n % 2 == 0) {
                fx.ProcessReplacing(inputs, outputs, kBlock);
                for (int s = 0; s < kBlock; s += 17) {
                    if (!std::isfinite(out0[s]) || !std::isfinite(out1[s])) ++notFinite;
                }
            } else {
                // In place, as some hosts do.
                fx.ProcessDoubleReplacing(dinputs, dinputs, kBlock);
                for (int s = 0; s < kBlock; s += 17) {
                    if (!std::isfinite(din[s])) ++notFinite;
                }
            }
            ++blocks;
        }
    });
    std::thread automation([&] {
        for (int n = 0; !stop; ++n) {
            const int index = n % 5;  // the knobs, the input strip and Stereo
            const float value = static_cast<float>((n * 37 % 101) / 100.0);
            log.Write([&] {
                fx.SetParameter(index, value);
                const float read = fx.GetParameter(index);
                const float expected = index == 4 ? (value >= 0.5f ? 1.0f : 0.0f) : value;
                if (std::fabs(read - expected) > 1e-6f) ++misread;
            });
            const float other = fx.GetParameter((n + 3) % kParams);
            if (!(other >= 0.0f && other <= 1.0f)) ++outOfRange;
            ++automations;
            std::this_thread::yield();
        }
    });
    std::thread state([&] {
        for (int n = 0; !stop; ++n) {
            const bool bank = n % 3 == 0;
            Bytes chunk = GetChunk(fx, bank);
            if (chunk.empty()) ++failedLoads;
            if (saved.size() < 64) saved.push_back(chunk);
            // Now and then an older state comes back, as a host's undo would bring it.
            if (n % 4 == 3) {
                const Bytes& older = saved[static_cast<size_t>(n) % saved.size()];
                const bool olderIsBank = older.size() != 64;
                log.Write([&] {
                    if (SetChunk(fx, olderIsBank, older) != 1) ++failedLoads;
                });
                ++restores;
            }
            std::this_thread::yield();
        }
    });

    // This thread plays the host's user-interface thread.
    const auto end = std::chrono::steady_clock::now() + kDuration;
    for (int n = 0; std::chrono::steady_clock::now() < end; ++n) {
        for (int i = 0; i < kParams; ++i) {
            if (fx.Text(effGetParamDisplay, i).empty()) ++outOfRange;
        }
        fx.Text(effGetProgramName);
        if (n % 8 == 0) {
            std::string typed = std::to_string(n % 11) + ".5";
            log.Write([&] { fx.Dispatch(effString2Parameter, 2, 0, typed.data()); });
        }
        ++queries;
        std::this_thread::yield();
    }
    stop = true;
    audio.join();
    automation.join();
    state.join();

    EXPECT_GT(blocks.load(), 0);
    EXPECT_GT(automations.load(), 0);
    EXPECT_GT(restores.load(), 0);
    EXPECT_GT(queries.load(), 0);
    EXPECT_EQ(misread.load(), 0) << "a value set was not the value read back";
    EXPECT_EQ(outOfRange.load(), 0);
    EXPECT_EQ(notFinite.load(), 0);
    EXPECT_EQ(failedLoads.load(), 0);
    const std::vector<float> last = log.Last();
    for (int i = 0; i < kParams; ++i) EXPECT_EQ(fx.GetParameter(i), last[i]) << i;
    // Every state saved on the way was whole: a new instance takes it and gives it back.
    for (const Bytes& chunk : saved) {
        const bool bank = chunk.size() != 64;
        host::HostedEffect fresh = CreateOpened();
        ASSERT_EQ(SetChunk(fresh, bank, chunk), 1);
        EXPECT_EQ(GetChunk(fresh, bank), chunk);
    }
}
