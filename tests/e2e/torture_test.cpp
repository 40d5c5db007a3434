// Random but legal host lives through the built module, as hosts in the wild live them: scanner
// queries before effOpen and instances the scanner never closes, effMainsChanged(0) without a
// resume before it, rates from 8 to 384 kHz changed mid-stream, block sizes from 1 to 8192 and
// blocks longer than announced, in-place buffers, both precisions and the accumulating path,
// the editor opened and closed in a real window and idled while it is open, chunks saved and
// restored, several instances at once. After every step: finite output within the circuit's
// reach, parameters read back as set, chunks that restore byte for byte, nothing allocated in
// the audio and parameter callbacks (where this program can count), and now and then the sound
// of a fresh instance given the same rate and state.
// ORV_TORTURE_SEEDS and ORV_TORTURE_STEPS set the number of lives and their length;
// ORV_TORTURE_SEED runs that life alone, and ORV_TORTURE_TRACE prints every step as it runs.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/e2e/allocation_probe.h"
#include "tests/e2e/chunk_bytes.h"
#include "tests/e2e/editor_parent.h"
#include "tests/e2e/render_helpers.h"

using namespace vst2;

namespace {

constexpr int kParams = 7;
constexpr int kMaxInstances = 3;
// Beyond anything the circuit gives, whatever the settings (about 17 at most).
constexpr double kOutputBound = 64.0;
constexpr float kRates[] = {8000,  11025, 16000,  22050,  32000,  44100, 48000,
                            88200, 96000, 176400, 192000, 352800, 384000};

int EnvironmentNumber(const char* name, int fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && std::atoi(text) > 0 ? std::atoi(text) : fallback;
}

// Instances a scanner or a careless host never closed: reachable to the very end of the program
// (the leak checker runs after static destructors), as a host's would be.
std::vector<AEffect*>& Abandoned() {
    static auto* abandoned = new std::vector<AEffect*>();
    return *abandoned;
}

// One effect and what its host knows of it.
struct Instance {
    host::HostedEffect fx{nullptr};
    int id = 0;  // in the order of creation, for the trace
    float rate = 44100;
    int blockSize = 1024;
    float params[kParams] = {};  // as the host last set them
    bool editorOpen = false;
};

class HostLife {
public:
    HostLife(unsigned seed, host::VstModule& module, EditorParent* parent)
        : seed_(seed), random_(seed), module_(module), parent_(parent) {}
    ~HostLife();
    HostLife(const HostLife&) = delete;
    HostLife& operator=(const HostLife&) = delete;

    // The life's steps; stops at the first failure.
    void Run(int steps);
    int StepsRun() const { return step_; }

private:
    std::string Where() const {
        return "seed " + std::to_string(seed_) + ", step " + std::to_string(step_) + " (" + event_ +
               ")";
    }
    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(random_); }
    Instance& Pick() {
        return instances_[static_cast<size_t>(Uniform(0, int(instances_.size()) - 1))];
    }

    void AddInstance();
    void ScannerQueries(const host::HostedEffect& fx);
    void CloseInstance(size_t which, bool abandon);
    void Play(Instance& in);
    void SetAndReadParameter(Instance& in);
    void ChangeRate(Instance& in);
    void ChangeBlockSize(Instance& in);
    void SuspendAndResume(Instance& in);
    void SaveAndRestore(Instance& in);
    void TypeValue(Instance& in);
    void OpenOrCloseEditor(Instance& in);
    void IdleEditors();
    // The tone a fresh instance given the same rate and state plays, at the level it plays it.
    void CheckSound(Instance& in);
    void CheckParametersAsSet(const Instance& in);

    unsigned seed_;
    std::mt19937 random_;
    host::VstModule& module_;
    EditorParent* parent_;
    host::RecordingHost recorder_;
    std::vector<Instance> instances_;
    std::vector<Bytes> saved_[2];  // program, bank
    int step_ = 0;
    int created_ = 0;
    std::string event_ = "start";
};

HostLife::~HostLife() {
    // A host that never closes some instances still closes their editors with its windows.
    while (!instances_.empty()) CloseInstance(instances_.size() - 1, Chance(0.25));
}

void HostLife::Run(int steps) {
    AddInstance();
    for (step_ = 1; step_ <= steps && !::testing::Test::HasFailure(); ++step_) {
        Instance& in = Pick();
        const int roll = Uniform(0, 99);
        const std::string on = " on #" + std::to_string(in.id);
        if (roll < 40) {
            event_ = "play";
            Play(in);
        } else if (roll < 55) {
            event_ = "parameter";
            SetAndReadParameter(in);
        } else if (roll < 60) {
            event_ = "rate";
            ChangeRate(in);
        } else if (roll < 65) {
            event_ = "block size";
            ChangeBlockSize(in);
        } else if (roll < 70) {
            event_ = "suspend and resume";
            SuspendAndResume(in);
        } else if (roll < 78) {
            event_ = "chunk";
            SaveAndRestore(in);
        } else if (roll < 81) {
            event_ = "program";
            in.fx.Dispatch(effSetProgram, 0, 0);
            CheckParametersAsSet(in);
        } else if (roll < 84) {
            event_ = "typed value";
            TypeValue(in);
        } else if (roll < 91) {
            event_ = "editor";
            OpenOrCloseEditor(in);
        } else if (roll < 95) {
            event_ = "new instance";
            if (instances_.size() < kMaxInstances) AddInstance();
        } else {
            event_ = "close instance";
            if (instances_.size() > 1) {
                CloseInstance(static_cast<size_t>(Uniform(0, int(instances_.size()) - 1)),
                              Chance(0.1));
            }
        }
        if (std::getenv("ORV_TORTURE_TRACE") != nullptr) {
            std::printf("%s%s\n", Where().c_str(), on.c_str());
        }
        IdleEditors();
        if (step_ % 10 == 0) CheckSound(Pick());
    }
    event_ = "end";
    if (!::testing::Test::HasFailure()) CheckSound(Pick());
}

void HostLife::AddInstance() {
    const char* entryName = Chance(0.5) ? "VSTPluginMain" : "main";
    AEffect* effect = recorder_.Instantiate(module_.Entry(entryName));
    ASSERT_NE(effect, nullptr) << Where();
    host::HostedEffect fx(effect);
    ScannerQueries(fx);
    // A scanner's instance goes after its queries; now and then it is never closed at all.
    if (Chance(0.2)) {
        if (Chance(0.3)) {
            Abandoned().push_back(effect);
        } else {
            fx.Dispatch(effClose);
        }
        return AddInstance();
    }
    Instance in;
    in.fx = fx;
    in.id = ++created_;
    in.rate = kRates[Uniform(0, int(std::size(kRates)) - 1)];
    in.blockSize = Uniform(1, 4) == 1 ? Uniform(1, 64) : Uniform(64, 8192);
    fx.Start(in.rate, in.blockSize);
    for (int i = 0; i < kParams; ++i) in.params[i] = fx.GetParameter(i);
    event_ += " #" + std::to_string(in.id) + " at " + std::to_string(in.rate) + " Hz, blocks of " +
              std::to_string(in.blockSize);
    instances_.push_back(in);
}

void HostLife::ScannerQueries(const host::HostedEffect& fx) {
    EXPECT_EQ(fx.Dispatch(effGetPlugCategory), kPlugCategEffect) << Where();
    EXPECT_EQ(fx.Text(effGetEffectName), "ORV Q12") << Where();
    EXPECT_EQ(fx.Text(effGetVendorString), "ORV AUDIO") << Where();
    EXPECT_EQ(fx.Dispatch(effGetVstVersion), kVstVersion) << Where();
    char canDo[] = "receiveVstTimeInfo";
    EXPECT_EQ(fx.Dispatch(effCanDo, 0, 0, canDo), 1) << Where();
    for (int i = 0; i < kParams; ++i) EXPECT_FALSE(fx.Text(effGetParamName, i).empty()) << Where();
    fx.Text(effGetProgramNameIndexed, 0);
    // Switched off without ever having been switched on.
    fx.Dispatch(effMainsChanged, 0, 0);
}

void HostLife::CloseInstance(size_t which, bool abandon) {
    Instance in = instances_[which];
    instances_.erase(instances_.begin() + static_cast<std::ptrdiff_t>(which));
    if (in.editorOpen) {
        EXPECT_EQ(in.fx.Dispatch(effEditClose), 1) << Where();
        in.editorOpen = false;
    }
    if (abandon) {
        Abandoned().push_back(in.fx.Effect());
    } else {
        in.fx.Close();
    }
}

void HostLife::Play(Instance& in) {
    // Up to twice the announced size now and then, as some hosts send.
    const int frames = Chance(0.2) ? Uniform(1, 2 * in.blockSize) : Uniform(1, in.blockSize);
    const int path = Uniform(0, 2);
    const bool inPlace = Chance(0.3);
    event_ += " " + std::to_string(frames) + " frames, path " + std::to_string(path) +
              (inPlace ? ", in place" : "");
    const double hz = std::uniform_real_distribution<double>(20, 0.45 * in.rate)(random_);
    const double amplitude = std::uniform_real_distribution<double>(0, 1)(random_);
    const std::vector<double> tone = Sine(frames, hz, amplitude, in.rate);
    // Two channels of input, two of output; in place, the output is the input.
    std::vector<double> d[4] = {tone, tone, std::vector<double>(frames),
                                std::vector<double>(frames)};
    std::vector<float> f[4] = {{tone.begin(), tone.end()},
                               {tone.begin(), tone.end()},
                               std::vector<float>(frames),
                               std::vector<float>(frames)};
    const int out = inPlace ? 0 : 2;
    double* dIn[] = {d[0].data(), d[1].data()};
    double* dOut[] = {d[out].data(), d[out + 1].data()};
    float* fIn[] = {f[0].data(), f[1].data()};
    float* fOut[] = {f[out].data(), f[out + 1].data()};
    const int allocations = AllocationsDuring([&] {
        switch (path) {
            case 0: in.fx.ProcessDoubleReplacing(dIn, dOut, frames); break;
            case 1: in.fx.ProcessReplacing(fIn, fOut, frames); break;
            default: in.fx.Process(fIn, fOut, frames); break;
        }
    });
    EXPECT_EQ(allocations, 0) << Where() << ": allocations in an audio callback";
    for (int c = 0; c < 2; ++c) {
        for (int s = 0; s < frames; ++s) {
            double sample = path == 0 ? d[out + c][s] : double(f[out + c][s]);
            // The accumulating path added its output to what the buffer held.
            if (path == 2 && inPlace) sample -= double(float(tone[s]));
            if (!(std::fabs(sample) <= kOutputBound)) {
                ADD_FAILURE() << Where() << ": output " << sample << " at frame " << s << " of "
                              << frames << ", channel " << c << ", path " << path
                              << (inPlace ? ", in place" : "");
                return;
            }
        }
    }
}

void HostLife::SetAndReadParameter(Instance& in) {
    const int index = Uniform(0, kParams - 1);
    const float value = std::uniform_real_distribution<float>(0, 1)(random_);
    event_ += " " + std::to_string(index) + " = " + std::to_string(value);
    float read = -1;
    const int allocations = AllocationsDuring([&] {
        in.fx.SetParameter(index, value);
        read = in.fx.GetParameter(index);
    });
    EXPECT_EQ(allocations, 0) << Where() << ": allocations in a parameter callback";
    in.params[index] = index >= 4 ? (value >= 0.5f ? 1.0f : 0.0f) : value;
    EXPECT_NEAR(read, in.params[index], 1e-6) << Where() << ", parameter " << index;
    in.params[index] = read;
}

void HostLife::CheckParametersAsSet(const Instance& in) {
    for (int i = 0; i < kParams; ++i) {
        EXPECT_EQ(in.fx.GetParameter(i), in.params[i]) << Where() << ", parameter " << i;
    }
}

void HostLife::ChangeRate(Instance& in) {
    in.rate = Chance(0.7) ? kRates[Uniform(0, int(std::size(kRates)) - 1)]
                          : std::uniform_real_distribution<float>(8000, 384000)(random_);
    // Mid-stream, or with the processing switched off around it.
    const bool suspend = Chance(0.5);
    event_ += " " + std::to_string(in.rate) + (suspend ? ", suspended" : "");
    if (suspend) in.fx.Dispatch(effMainsChanged, 0, 0);
    in.fx.Dispatch(effSetSampleRate, 0, 0, nullptr, in.rate);
    if (suspend) in.fx.Dispatch(effMainsChanged, 0, 1);
    event_ += ", block size " + std::to_string(in.blockSize) + " on #" + std::to_string(in.id);
    CheckSound(in);
}

void HostLife::ChangeBlockSize(Instance& in) {
    in.blockSize = Chance(0.3) ? Uniform(1, 32) : Uniform(32, 8192);
    const bool suspend = Chance(0.5);
    event_ += " " + std::to_string(in.blockSize) + (suspend ? ", suspended" : "");
    if (suspend) in.fx.Dispatch(effMainsChanged, 0, 0);
    in.fx.Dispatch(effSetBlockSize, 0, in.blockSize);
    if (suspend) in.fx.Dispatch(effMainsChanged, 0, 1);
}

void HostLife::SuspendAndResume(Instance& in) {
    in.fx.Dispatch(effMainsChanged, 0, 0);
    if (Chance(0.3)) in.fx.Dispatch(effMainsChanged, 0, 0);
    in.fx.Dispatch(effMainsChanged, 0, 1);
    CheckParametersAsSet(in);
}

void HostLife::SaveAndRestore(Instance& in) {
    const int kind = Uniform(0, 1);
    const bool bank = kind == 1;
    const Bytes now = GetChunk(in.fx, bank);
    ASSERT_FALSE(now.empty()) << Where();
    std::vector<Bytes>& saved = saved_[kind];
    // An older state comes back now and then, as from a project or an undo.
    const Bytes chunk = !saved.empty() && Chance(0.5)
                            ? saved[static_cast<size_t>(Uniform(0, int(saved.size()) - 1))]
                            : now;
    if (saved.size() < 16) saved.push_back(now);
    event_ += std::string(bank ? " bank" : " program") + (chunk == now ? ", now" : ", older");
    ASSERT_EQ(SetChunk(in.fx, bank, chunk), 1) << Where();
    EXPECT_EQ(GetChunk(in.fx, bank), chunk) << Where() << ": the state did not come back whole";
    for (int i = 0; i < kParams; ++i) in.params[i] = in.fx.GetParameter(i);
    if (chunk != now) CheckSound(in);
}

void HostLife::TypeValue(Instance& in) {
    const int index = Uniform(0, 3);
    std::string text = std::to_string(Uniform(0, 20) / 2.0);
    EXPECT_EQ(in.fx.Dispatch(effString2Parameter, index, 0, text.data()), 1) << Where();
    in.params[index] = in.fx.GetParameter(index);
}

void HostLife::OpenOrCloseEditor(Instance& in) {
    ERect* rect = nullptr;
    const bool hasEditor = (in.fx.Effect()->flags & effFlagsHasEditor) != 0;
    if (in.fx.Dispatch(effEditGetRect, 0, 0, &rect) != 1 || rect == nullptr) {
        EXPECT_FALSE(hasEditor) << Where() << ": an editor without its rectangle";
        return;
    }
    EXPECT_EQ(rect->right - rect->left, 300) << Where();
    EXPECT_EQ(rect->bottom - rect->top, 350) << Where();
    if (parent_ == nullptr) return;
    int open = 0;
    for (const Instance& other : instances_) open += other.editorOpen ? 1 : 0;
    if (in.editorOpen) {
        EXPECT_EQ(in.fx.Dispatch(effEditClose), 1) << Where();
        in.editorOpen = false;
        EXPECT_EQ(parent_->EditorsAfterIdling(in.fx, open - 1), open - 1) << Where();
        return;
    }
    ASSERT_EQ(in.fx.Dispatch(effEditOpen, 0, 0, parent_->Handle()), 1) << Where();
    in.editorOpen = true;
    EXPECT_EQ(parent_->EditorsAfterIdling(in.fx, open + 1), open + 1) << Where();
}

void HostLife::IdleEditors() {
    if (parent_ == nullptr) return;
    for (const Instance& in : instances_) {
        if (in.editorOpen) parent_->Idle(in.fx);
    }
}

void HostLife::CheckSound(Instance& in) {
    AEffect* effect = recorder_.Instantiate(module_.Entry());
    ASSERT_NE(effect, nullptr) << Where();
    host::HostedEffect twin(effect);
    twin.Start(in.rate, 512);
    ASSERT_EQ(SetChunk(twin, false, GetChunk(in.fx, false)), 1) << Where();
    // The tone in pieces of 0.1 s until the two agree. The slowest filter (5 Hz) forgets what
    // came before within a few pieces; after a steep fall of the rate it starts from a state the
    // new rate reads as far larger, and the circuit sits at a rail for up to half a second.
    const int frames = static_cast<int>(in.rate * 0.1f);
    const std::vector<double> tone = Sine(frames, 441, 0.3, in.rate);
    double level[2] = {}, reference[2] = {};
    for (int piece = 0; piece < 12; ++piece) {
        const Stereo played = Render(in.fx, tone, tone, in.blockSize);
        const Stereo expected = Render(twin, tone, tone, 512);
        ASSERT_TRUE(AllFinite(played)) << Where();
        bool agree = true;
        for (int c = 0; c < 2; ++c) {
            const std::vector<double>& p = c == 0 ? played.left : played.right;
            const std::vector<double>& e = c == 0 ? expected.left : expected.right;
            level[c] = Magnitude({p.begin() + frames / 2, p.end()}, 441, in.rate);
            reference[c] = Magnitude({e.begin() + frames / 2, e.end()}, 441, in.rate);
            agree = agree && std::fabs(level[c] - reference[c]) <= 0.03 * reference[c] + 1e-4;
        }
        if (agree) {
            twin.Close();
            return;
        }
    }
    twin.Close();
    ADD_FAILURE() << Where() << ": after 1.2 s at " << in.rate << " Hz the tone plays at "
                  << level[0] << ", " << level[1] << " where a new instance plays it at "
                  << reference[0] << ", " << reference[1];
}

}  // namespace

TEST(HostTorture, RandomLegalHostLives) {
    std::string error;
    std::unique_ptr<host::VstModule> module = host::VstModule::Load(ORV_MODULE_PATH, &error);
    ASSERT_NE(module, nullptr) << error;
    const std::unique_ptr<EditorParent> parent = EditorParent::Create();
    const int only = EnvironmentNumber("ORV_TORTURE_SEED", 0);
    const int seeds = only > 0 ? 1 : EnvironmentNumber("ORV_TORTURE_SEEDS", 40);
    const int steps = EnvironmentNumber("ORV_TORTURE_STEPS", 60);
    int stepsRun = 0;
    for (int seed = only > 0 ? only : 1;
         seed <= (only > 0 ? only : seeds) && !::testing::Test::HasFailure(); ++seed) {
        HostLife life(static_cast<unsigned>(seed), *module, parent.get());
        life.Run(steps);
        stepsRun += life.StepsRun() - 1;
    }
    std::printf("[ torture  ] %d seeds, %d steps, editor windows %s, allocations %s\n", seeds,
                stepsRun, parent ? "real" : "none (no window system)",
                allocation_probe::Counts() ? "counted" : "not counted here");
    // The instances never closed live in the module until the program ends, as in a host.
    static std::unique_ptr<host::VstModule> keep;
    keep = std::move(module);
}
