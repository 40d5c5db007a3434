// ORV_Q12.clap as CLAP hosts see it, beyond what every format shares (the format suites): the
// entry and its factory, the parameters' flags and texts, the extensions' answers, events no
// careful host sends, and the panel's gestures reaching a host that is not processing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "host/clap_plugin_host.h"
#include "tests/e2e/editor_parent.h"
#include "tests/e2e/signals.h"
#include "tests/editor/panel_layout.h"

using namespace clap;

namespace {

host::ClapModule& Module() {
    static std::unique_ptr<host::PluginModule> module = [] {
        std::string error;
        std::unique_ptr<host::PluginModule> loaded = host::LoadPlugin(ORV_CLAP_MODULE_PATH, &error);
        if (loaded == nullptr) ADD_FAILURE() << error;
        return loaded;
    }();
    return static_cast<host::ClapModule&>(*module);
}

std::unique_ptr<host::ClapInstance> Create() {
    auto fx = host::ClapInstance::Create(Module().Factory(), Module().Descriptor().id, "test");
    EXPECT_NE(fx, nullptr);
    return fx;
}

template <typename T>
const T& Extension(host::ClapInstance& fx, const char* id) {
    const void* table = fx.Extension(id);
    EXPECT_NE(table, nullptr) << id;
    return *static_cast<const T*>(table);
}

std::string Text(host::ClapInstance& fx, clap_id id, double value, std::uint32_t capacity = 64) {
    const auto& params = Extension<clap_plugin_params>(fx, kExtParams);
    char text[64];
    std::memset(text, 'x', sizeof(text));
    if (!params.value_to_text(fx.Plugin(), id, value, text, capacity)) return "(none)";
    return text;
}

}  // namespace

// The id, name and features are what hosts and projects know the plug-in by: fixed for good.
TEST(ClapModuleTest, TheEntryCountsItsInitsAndDescribesOnePlugin) {
    const clap_plugin_entry& entry = Module().Entry();
    const clap_plugin_factory& factory = Module().Factory();
    EXPECT_TRUE(IsCompatible(entry.version));
    EXPECT_EQ(entry.get_factory("clap.unknown-factory"), nullptr);
    ASSERT_EQ(factory.get_plugin_count(&factory), 1u);
    const clap_plugin_descriptor& d = *factory.get_plugin_descriptor(&factory, 0);
    EXPECT_STREQ(d.id, "example.orv-audio.q12");
    EXPECT_STREQ(d.name, "ORV Q12");
    EXPECT_STREQ(d.vendor, "ORV AUDIO");
    EXPECT_STREQ(d.version_text, "1.1.0");
    std::vector<std::string> features;
    for (const char* const* f = d.features; *f != nullptr; ++f) features.push_back(*f);
    EXPECT_EQ(features, (std::vector<std::string>{"audio-effect", "distortion", "stereo", "mono"}));
    EXPECT_EQ(factory.get_plugin_descriptor(&factory, 1), nullptr);
    EXPECT_EQ(host::ClapInstance::Create(factory, "example.other", "test"), nullptr);

    // Inits and deinits pair up: the module works until the last deinit, and after a new init.
    ASSERT_TRUE(entry.init(ORV_CLAP_MODULE_PATH));
    entry.deinit();
    EXPECT_EQ(entry.get_factory(kPluginFactoryId), &factory);
    entry.deinit();
    EXPECT_EQ(entry.get_factory(kPluginFactoryId), nullptr);
    EXPECT_EQ(host::ClapInstance::Create(factory, d.id, "test"), nullptr);
    ASSERT_TRUE(entry.init(ORV_CLAP_MODULE_PATH));
    EXPECT_NE(Create(), nullptr);
}

TEST(ClapModuleTest, ParametersCarryTheirRangesStepsAndTheHostsBypass) {
    const auto fx = Create();
    const auto& params = Extension<clap_plugin_params>(*fx, kExtParams);
    constexpr std::uint32_t kAutomatable = CLAP_PARAM_IS_AUTOMATABLE;
    constexpr std::uint32_t kStepped = kAutomatable | CLAP_PARAM_IS_STEPPED;
    const struct {
        const char* name;
        std::uint32_t flags;
        double min, max, defaultValue;
    } expected[] = {
        {"Input", kAutomatable, 0.0001, 2, 1},
        {"Drive", kAutomatable, 0, 10, 5},
        {"Filter", kAutomatable, 0, 10, 5},
        {"Volume", kAutomatable, 0, 10, 5},
        {"Stereo", kStepped, 0, 1, 0},
        {"Quality", kStepped, 0, 1, 1},
        {"Bypass", kStepped | CLAP_PARAM_IS_BYPASS, 0, 1, 0},
    };
    ASSERT_EQ(params.count(fx->Plugin()), 7u);
    for (std::uint32_t i = 0; i < 7; ++i) {
        clap_param_info info{};
        ASSERT_TRUE(params.get_info(fx->Plugin(), i, &info));
        EXPECT_EQ(info.id, i);
        EXPECT_STREQ(info.name, expected[i].name);
        EXPECT_STREQ(info.module, "");
        EXPECT_EQ(info.flags, expected[i].flags) << info.name;
        EXPECT_EQ(info.min_value, expected[i].min);
        EXPECT_EQ(info.max_value, expected[i].max);
        EXPECT_EQ(info.default_value, expected[i].defaultValue);
    }
    clap_param_info info{};
    EXPECT_FALSE(params.get_info(fx->Plugin(), 7, &info));

    // Texts as VST 2 shows them, for values a host may hold: a stepped one lands on its step,
    // one outside the range at its end; the buffer's size is kept.
    EXPECT_EQ(Text(*fx, 1, 2.5), "2.500");
    EXPECT_EQ(Text(*fx, 6, 0.6), "1");
    EXPECT_EQ(Text(*fx, 0, 99), "2.000");
    EXPECT_EQ(Text(*fx, 1, 2.5, 4), "2.5");
    EXPECT_EQ(Text(*fx, 1, std::numeric_limits<double>::quiet_NaN()), "(none)");
    EXPECT_EQ(Text(*fx, 7, 0), "(none)");
    double v = -1;
    EXPECT_TRUE(params.text_to_value(fx->Plugin(), 6, "0.6", &v));
    EXPECT_EQ(v, 1.0);
    EXPECT_TRUE(params.text_to_value(fx->Plugin(), 1, "12", &v));
    EXPECT_EQ(v, 10.0);
    EXPECT_FALSE(params.text_to_value(fx->Plugin(), 7, "1", &v));
}

TEST(ClapModuleTest, ExtensionsAnswerAsTheyDeclare) {
    const auto fx = Create();
    const clap_plugin* p = fx->Plugin();
    const auto& ports = Extension<clap_plugin_audio_ports>(*fx, kExtAudioPorts);
    for (bool input : {true, false}) {
        ASSERT_EQ(ports.count(p, input), 1u);
        clap_audio_port_info info{};
        ASSERT_TRUE(ports.get(p, 0, input, &info));
        EXPECT_EQ(info.channel_count, 2u);
        EXPECT_STREQ(info.port_type, kPortStereo);
        EXPECT_EQ(info.flags & (CLAP_AUDIO_PORT_IS_MAIN | CLAP_AUDIO_PORT_SUPPORTS_64BITS),
                  CLAP_AUDIO_PORT_IS_MAIN | CLAP_AUDIO_PORT_SUPPORTS_64BITS);
        EXPECT_EQ(info.in_place_pair, 0u);
        EXPECT_FALSE(ports.get(p, 1, input, &info));
    }
    ASSERT_TRUE(fx->Start(48000, 512));
    EXPECT_EQ(Extension<clap_plugin_latency>(*fx, kExtLatency).get(p), 0u);
    EXPECT_EQ(Extension<clap_plugin_tail>(*fx, kExtTail).get(p), 480000u) << "10 s";

    const auto& gui = Extension<clap_plugin_gui>(*fx, kExtGui);
    const char* api = nullptr;
    bool floating = true;
    ASSERT_TRUE(gui.get_preferred_api(p, &api, &floating));
    EXPECT_FALSE(floating);
    EXPECT_TRUE(gui.is_api_supported(p, api, false));
    EXPECT_FALSE(gui.is_api_supported(p, api, true));
    EXPECT_FALSE(gui.is_api_supported(p, "cocoa", false));
    ASSERT_TRUE(gui.create(p, api, false));
    std::uint32_t width = 0, height = 0;
    ASSERT_TRUE(gui.get_size(p, &width, &height));
    EXPECT_EQ(width, 300u);
    EXPECT_EQ(height, 350u);
    EXPECT_FALSE(gui.can_resize(p));
    EXPECT_TRUE(gui.set_size(p, 300, 350));
    EXPECT_FALSE(gui.set_size(p, 400, 350));
    // The display's scale: the size is the panel's at it, the only one set_size takes.
    EXPECT_TRUE(gui.set_scale(p, 2.0));
    ASSERT_TRUE(gui.get_size(p, &width, &height));
    EXPECT_EQ(width, 600u);
    EXPECT_EQ(height, 700u);
    EXPECT_TRUE(gui.set_size(p, 600, 700));
    EXPECT_FALSE(gui.set_size(p, 300, 350));
    EXPECT_FALSE(gui.set_scale(p, 0.0));
    gui.destroy(p);
    for (const char* absent : {"clap.render", "clap.audio-ports-config", "clap.note-ports", ""}) {
        EXPECT_EQ(fx->Extension(absent), nullptr) << absent;
    }
}

// What the plug-in must survive from a host: values that are not numbers (ignored) or infinite
// (the nearer end), ids of no parameter, buffers that are not what the ports declare.
TEST(ClapModuleTest, EventsAndBuffersNoCarefulHostSendsLeaveItSound) {
    const auto fx = Create();
    ASSERT_TRUE(fx->Start(44100, 512));
    fx->SendPlain(1, std::numeric_limits<double>::quiet_NaN(), 10);
    fx->SendPlain(2, std::numeric_limits<double>::infinity(), 20);
    fx->SendPlain(3, -std::numeric_limits<double>::infinity(), 30);
    fx->SendPlain(99, 1.0);
    fx->SendPlain(-1, 1.0);
    const std::vector<double> tone = Sine(512, 441, 0.3);
    Stereo out{std::vector<double>(512), std::vector<double>(512)};
    double* in[] = {const_cast<double*>(tone.data()), const_cast<double*>(tone.data())};
    double* outs[] = {out.left.data(), out.right.data()};
    fx->Process(in, outs, 512);
    EXPECT_TRUE(AllFinite(out));
    EXPECT_EQ(fx->ParamDisplay(1), "5.000");
    EXPECT_EQ(fx->ParamDisplay(2), "10.000");
    EXPECT_EQ(fx->ParamDisplay(3), "0.000");

    // One channel where the port has two: an error, and silence where the host gave room.
    std::vector<float> left(64, 0.5f), result(64, 0.5f);
    float* in32[] = {left.data()};
    float* out32[] = {result.data()};
    clap_audio_buffer inBuffer{in32, nullptr, 1, 0, 0}, outBuffer{out32, nullptr, 1, 0, 0};
    clap_process process{};
    process.steady_time = -1;
    process.frames_count = 64;
    process.audio_inputs = &inBuffer;
    process.audio_outputs = &outBuffer;
    process.audio_inputs_count = process.audio_outputs_count = 1;
    EXPECT_EQ(fx->Plugin()->process(fx->Plugin(), &process), CLAP_PROCESS_ERROR);
    EXPECT_EQ(result, std::vector<float>(64, 0.0f));
    fx->Process(in, outs, 512);
    EXPECT_TRUE(AllFinite(out));
}

// With nothing processing, the panel's gestures reach the host through the flush the plug-in
// asks for; on Linux the editor runs on the host's timer and its X connection's descriptor,
// which it gives back when it closes.
TEST(ClapModuleTest, TheEditorsGesturesReachAHostThatIsNotProcessing) {
    const std::unique_ptr<EditorParent> parent = EditorParent::Create();
    if (parent == nullptr) GTEST_SKIP() << "no window system";
    const auto fx = Create();
    ASSERT_TRUE(fx->OpenEditor(parent->Handle()));
    EXPECT_EQ(parent->EditorsAfterIdling(*fx, 1), 1);
    const bool hostLoop = fx->Extension(kExtTimerSupport) != nullptr;
    EXPECT_EQ(fx->RegisteredTimers(), hostLoop ? 1 : 0);
    EXPECT_EQ(fx->RegisteredDescriptors(), hostLoop ? 1 : 0);
    fx->ClearHostEvents();
    parent->Click(*fx, kStereoSwitch.x, kStereoSwitch.y, false);
    parent->Idle(*fx);
    using Type = host::HostEvent::Type;
    const std::vector<host::HostEvent> expected = {
        {Type::kBeginEdit, 4}, {Type::kPerformEdit, 4, 1.0}, {Type::kEndEdit, 4}};
    EXPECT_EQ(fx->HostEvents(), expected);
    EXPECT_EQ(fx->ParamDisplay(4), "1");
    fx->CloseEditor();
    EXPECT_EQ(fx->RegisteredTimers(), 0);
    EXPECT_EQ(fx->RegisteredDescriptors(), 0);
}
