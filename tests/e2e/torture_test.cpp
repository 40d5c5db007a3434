// Random but legal host lives through every built module, as hosts in the wild live them, in
// the calls every format has: rates from 8 to 384 kHz, block sizes from 1 to 8192, processing
// stopped and started around changes, in-place buffers, both precisions, the editor opened and
// closed in a real window and idled while it is open, states saved and restored, several
// instances at once. VST 2 lives go further, as its hosts do: scanner queries before effOpen and
// instances the scanner never closes, effMainsChanged(0) without a resume before it, rates and
// block sizes changed mid-stream, blocks longer than announced, the accumulating path, banks and
// program changes. After every step: finite output within the circuit's reach, parameters read
// back as set, states that restore byte for byte, nothing allocated in the audio and parameter
// calls (where this program can count), and now and then the sound of a fresh instance given the
// same rate and state.
// ORV_TORTURE_SEEDS and ORV_TORTURE_STEPS set the number of lives and their length;
// ORV_TORTURE_SEED runs that life alone, and ORV_TORTURE_TRACE prints every step as it runs.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "host/vst2_plugin_host.h"
#include "tests/e2e/allocation_probe.h"
#include "tests/e2e/chunk_bytes.h"
#include "tests/e2e/editor_parent.h"
#include "tests/e2e/format_fixture.h"

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

// One instance and what its host knows of it.
struct Instance {
    std::unique_ptr<host::PluginInstance> fx;
    host::Vst2Instance* vst2 = nullptr;  // the same instance, where the format is VST 2
    int id = 0;                          // in the order of creation, for the trace
    float rate = 44100;
    int blockSize = 1024;
    double params[kParams] = {};  // as the host last set them
    bool editorOpen = false;
};

class HostLife {
public:
    HostLife(unsigned seed, host::PluginModule& module, EditorParent* parent)
        : seed_(seed),
          random_(seed),
          module_(module),
          vst2Module_(dynamic_cast<host::Vst2Module*>(&module)),
          parent_(parent) {}
    ~HostLife();
    HostLife(const HostLife&) = delete;
    HostLife& operator=(const HostLife&) = delete;

    // The life's steps; stops at the first failure.
    void Run(int steps);
    int StepsRun() const { return step_; }

private:
    std::string Where() const {
        return std::string(module_.FormatName()) + ", seed " + std::to_string(seed_) + ", step " +
               std::to_string(step_) + " (" + event_ + ")";
    }
    int Uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(random_); }
    Instance& Pick() {
        return instances_[static_cast<size_t>(Uniform(0, int(instances_.size()) - 1))];
    }

    void AddInstance();
    // A new instance as the format's scanners leave it; null when the scanner closed it again.
    std::unique_ptr<host::PluginInstance> Scanned();
    void ScannerQueries(const host::HostedEffect& fx);
    void CloseInstance(size_t which, bool abandon);
    void Play(Instance& in);
    void SetAndReadParameter(Instance& in);
    void ChangeRate(Instance& in);
    void ChangeBlockSize(Instance& in);
    void SuspendAndResume(Instance& in);
    void SaveAndRestore(Instance& in);
    void SelectProgram(Instance& in);
    void TypeValue(Instance& in);
    void OpenOrCloseEditor(Instance& in);
    void IdleEditors();
    // The tone a fresh instance given the same rate and state plays, at the level it plays it.
    void CheckSound(Instance& in);
    void CheckParametersAsSet(Instance& in);

    unsigned seed_;
    std::mt19937 random_;
    host::PluginModule& module_;
    host::Vst2Module* vst2Module_;
    EditorParent* parent_;
    std::vector<Instance> instances_;
    std::vector<Bytes> saved_[2];  // program states, banks
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
            event_ = "state";
            SaveAndRestore(in);
        } else if (roll < 81) {
            event_ = "program";
            SelectProgram(in);
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

std::unique_ptr<host::PluginInstance> HostLife::Scanned() {
    if (vst2Module_ == nullptr) {
        std::unique_ptr<host::PluginInstance> fx = module_.CreateInstance();
        EXPECT_NE(fx, nullptr) << Where();
        if (fx == nullptr) return nullptr;
        EXPECT_EQ(fx->Name(), "ORV Q12") << Where();
        EXPECT_EQ(fx->Vendor(), "ORV AUDIO") << Where();
        for (int i = 0; i < kParams; ++i) EXPECT_FALSE(fx->ParamName(i).empty()) << Where();
        // A scanner's instance goes after its queries.
        return Chance(0.2) ? nullptr : std::move(fx);
    }
    std::unique_ptr<host::Vst2Instance> fx =
        vst2Module_->CreateUnopened(Chance(0.5) ? "VSTPluginMain" : "main");
    EXPECT_NE(fx, nullptr) << Where();
    if (fx == nullptr) return nullptr;
    ScannerQueries(fx->Effect());
    // A scanner's instance goes after its queries; now and then it is never closed at all.
    if (Chance(0.2)) {
        if (Chance(0.3)) {
            Abandoned().push_back(fx->GiveUp());
        } else {
            fx->CloseAbruptly();
        }
        return nullptr;
    }
    return fx;
}

void HostLife::AddInstance() {
    std::unique_ptr<host::PluginInstance> fx;
    while (fx == nullptr && !::testing::Test::HasFailure()) fx = Scanned();
    if (fx == nullptr) return;
    Instance in;
    in.fx = std::move(fx);
    in.vst2 = dynamic_cast<host::Vst2Instance*>(in.fx.get());
    in.id = ++created_;
    in.rate = kRates[Uniform(0, int(std::size(kRates)) - 1)];
    in.blockSize = Uniform(1, 4) == 1 ? Uniform(1, 64) : Uniform(64, 8192);
    ASSERT_TRUE(in.fx->Start(in.rate, in.blockSize)) << Where();
    for (int i = 0; i < kParams; ++i) in.params[i] = in.fx->GetParam(i);
    event_ += " #" + std::to_string(in.id) + " at " + std::to_string(in.rate) + " Hz, blocks of " +
              std::to_string(in.blockSize);
    instances_.push_back(std::move(in));
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
    Instance in = std::move(instances_[which]);
    instances_.erase(instances_.begin() + static_cast<std::ptrdiff_t>(which));
    if (in.editorOpen) {
        in.fx->CloseEditor();
        in.editorOpen = false;
    }
    // Only VST 2 hosts are known to leave instances behind.
    if (abandon && in.vst2 != nullptr) Abandoned().push_back(in.vst2->GiveUp());
}

void HostLife::Play(Instance& in) {
    // Up to twice the announced size now and then, as some VST 2 hosts send.
    const bool longer = Chance(0.2) && in.vst2 != nullptr;
    const int frames = longer ? Uniform(1, 2 * in.blockSize) : Uniform(1, in.blockSize);
    int path = Uniform(0, 2);
    if (path == 2 && in.vst2 == nullptr) path = 1;
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
            case 0: in.fx->Process(dIn, dOut, frames); break;
            case 1: in.fx->Process(fIn, fOut, frames); break;
            default: in.vst2->Effect().Process(fIn, fOut, frames); break;
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
    double read = -1;
    const int allocations = AllocationsDuring([&] {
        in.fx->SetParam(index, value);
        read = in.fx->GetParam(index);
    });
    EXPECT_EQ(allocations, 0) << Where() << ": allocations in a parameter call";
    in.params[index] = index >= 4 ? (value >= 0.5f ? 1.0 : 0.0) : value;
    EXPECT_NEAR(read, in.params[index], 1e-6) << Where() << ", parameter " << index;
    in.params[index] = read;
}

void HostLife::CheckParametersAsSet(Instance& in) {
    for (int i = 0; i < kParams; ++i) {
        EXPECT_EQ(in.fx->GetParam(i), in.params[i]) << Where() << ", parameter " << i;
    }
}

void HostLife::ChangeRate(Instance& in) {
    in.rate = Chance(0.7) ? kRates[Uniform(0, int(std::size(kRates)) - 1)]
                          : std::uniform_real_distribution<float>(8000, 384000)(random_);
    // Mid-stream (VST 2 only), or with processing stopped around it.
    const bool suspend = Chance(0.5) || in.vst2 == nullptr;
    event_ += " " + std::to_string(in.rate) + (suspend ? ", suspended" : "");
    if (suspend) {
        ASSERT_TRUE(in.fx->Start(in.rate, in.blockSize)) << Where();
    } else {
        in.vst2->Effect().Dispatch(effSetSampleRate, 0, 0, nullptr, in.rate);
    }
    event_ += ", block size " + std::to_string(in.blockSize) + " on #" + std::to_string(in.id);
    CheckSound(in);
}

void HostLife::ChangeBlockSize(Instance& in) {
    in.blockSize = Chance(0.3) ? Uniform(1, 32) : Uniform(32, 8192);
    const bool suspend = Chance(0.5) || in.vst2 == nullptr;
    event_ += " " + std::to_string(in.blockSize) + (suspend ? ", suspended" : "");
    if (suspend) {
        ASSERT_TRUE(in.fx->Start(in.rate, in.blockSize)) << Where();
    } else {
        in.vst2->Effect().Dispatch(effSetBlockSize, 0, in.blockSize);
    }
}

void HostLife::SuspendAndResume(Instance& in) {
    in.fx->Stop();
    if (Chance(0.3) && in.vst2 != nullptr) in.vst2->Effect().Dispatch(effMainsChanged, 0, 0);
    ASSERT_TRUE(in.fx->Start(in.rate, in.blockSize)) << Where();
    CheckParametersAsSet(in);
}

void HostLife::SaveAndRestore(Instance& in) {
    const int kind = Uniform(0, 1);
    const bool bank = kind == 1 && in.vst2 != nullptr;
    const Bytes now = bank ? GetChunk(in.vst2->Effect(), true) : in.fx->SaveState();
    ASSERT_FALSE(now.empty()) << Where();
    std::vector<Bytes>& saved = saved_[bank ? 1 : 0];
    // An older state comes back now and then, as from a project or an undo.
    const Bytes state = !saved.empty() && Chance(0.5)
                            ? saved[static_cast<size_t>(Uniform(0, int(saved.size()) - 1))]
                            : now;
    if (saved.size() < 16) saved.push_back(now);
    event_ += std::string(bank ? " bank" : " program") + (state == now ? ", now" : ", older");
    if (bank) {
        ASSERT_EQ(SetChunk(in.vst2->Effect(), true, state), 1) << Where();
        EXPECT_EQ(GetChunk(in.vst2->Effect(), true), state) << Where() << ": not back whole";
    } else {
        ASSERT_TRUE(in.fx->LoadState(state)) << Where();
        EXPECT_EQ(in.fx->SaveState(), state) << Where() << ": the state did not come back whole";
    }
    for (int i = 0; i < kParams; ++i) in.params[i] = in.fx->GetParam(i);
    if (state != now) CheckSound(in);
}

void HostLife::SelectProgram(Instance& in) {
    if (in.vst2 != nullptr) in.vst2->Effect().Dispatch(effSetProgram, 0, 0);
    CheckParametersAsSet(in);
}

void HostLife::TypeValue(Instance& in) {
    const int index = Uniform(0, 3);
    const std::string text = std::to_string(Uniform(0, 20) / 2.0);
    EXPECT_TRUE(in.fx->SetParamFromText(index, text)) << Where();
    in.params[index] = in.fx->GetParam(index);
}

void HostLife::OpenOrCloseEditor(Instance& in) {
    int width = 0, height = 0;
    if (!in.fx->EditorSize(&width, &height)) {
        EXPECT_FALSE(in.fx->HasEditor()) << Where() << ": an editor without its size";
        return;
    }
    EXPECT_EQ(width, 300) << Where();
    EXPECT_EQ(height, 350) << Where();
    if (parent_ == nullptr) return;
    int open = 0;
    for (const Instance& other : instances_) open += other.editorOpen ? 1 : 0;
    if (in.editorOpen) {
        in.fx->CloseEditor();
        in.editorOpen = false;
        EXPECT_EQ(parent_->EditorsAfterIdling(*in.fx, open - 1), open - 1) << Where();
        return;
    }
    ASSERT_TRUE(in.fx->OpenEditor(parent_->Handle())) << Where();
    in.editorOpen = true;
    EXPECT_EQ(parent_->EditorsAfterIdling(*in.fx, open + 1), open + 1) << Where();
}

void HostLife::IdleEditors() {
    if (parent_ == nullptr) return;
    for (Instance& in : instances_) {
        if (in.editorOpen) parent_->Idle(*in.fx);
    }
}

void HostLife::CheckSound(Instance& in) {
    std::unique_ptr<host::PluginInstance> twin = module_.CreateInstance();
    ASSERT_NE(twin, nullptr) << Where();
    ASSERT_TRUE(twin->Start(in.rate, 512)) << Where();
    ASSERT_TRUE(twin->LoadState(in.fx->SaveState())) << Where();
    // The tone in pieces of 0.1 s until the two agree. The slowest filter (5 Hz) forgets what
    // came before within a few pieces; after a steep fall of the rate it starts from a state the
    // new rate reads as far larger, and the circuit sits at a rail for up to half a second.
    const int frames = static_cast<int>(in.rate * 0.1f);
    const std::vector<double> tone = Sine(frames, 441, 0.3, in.rate);
    double level[2] = {}, reference[2] = {};
    for (int piece = 0; piece < 12; ++piece) {
        const Stereo played = Render(*in.fx, tone, tone, in.blockSize);
        const Stereo expected = Render(*twin, tone, tone, 512);
        ASSERT_TRUE(AllFinite(played)) << Where();
        bool agree = true;
        for (int c = 0; c < 2; ++c) {
            const std::vector<double>& p = c == 0 ? played.left : played.right;
            const std::vector<double>& e = c == 0 ? expected.left : expected.right;
            level[c] = Magnitude({p.begin() + frames / 2, p.end()}, 441, in.rate);
            reference[c] = Magnitude({e.begin() + frames / 2, e.end()}, 441, in.rate);
            agree = agree && std::fabs(level[c] - reference[c]) <= 0.03 * reference[c] + 1e-4;
        }
        if (agree) return;
    }
    ADD_FAILURE() << Where() << ": after 1.2 s at " << in.rate << " Hz the tone plays at "
                  << level[0] << ", " << level[1] << " where a new instance plays it at "
                  << reference[0] << ", " << reference[1];
}

class HostTorture : public ::testing::TestWithParam<BuiltModule> {};

}  // namespace

TEST_P(HostTorture, RandomLegalHostLives) {
    host::PluginModule* module = LoadedModule(GetParam());
    ASSERT_NE(module, nullptr);
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
    // The instances never closed live in the module until the program ends, as in a host: the
    // loaded module stays too.
    std::printf("[ torture  ] %s: %d seeds, %d steps, editor windows %s, allocations %s\n",
                module->FormatName(), seeds, stepsRun, parent ? "real" : "none (no window system)",
                allocation_probe::Counts() ? "counted" : "not counted here");
}

ORV_ON_EVERY_FORMAT(HostTorture);
