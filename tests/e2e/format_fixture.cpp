#include "tests/e2e/format_fixture.h"

#include <map>

#include "generated/orv_modules.h"

std::vector<BuiltModule> BuiltModules() { return {ORV_BUILT_MODULES}; }

std::string FormatOf(const ::testing::TestParamInfo<BuiltModule>& info) {
    return info.param.format;
}

host::PluginModule* LoadedModule(const BuiltModule& built) {
    static auto* loaded = new std::map<std::string, std::unique_ptr<host::PluginModule>>();
    auto found = loaded->find(built.path);
    if (found != loaded->end()) return found->second.get();
    std::string error;
    std::unique_ptr<host::PluginModule> module = host::LoadPlugin(built.path, &error);
    if (module == nullptr) {
        ADD_FAILURE() << "cannot load " << built.path << ": " << error;
        return nullptr;
    }
    host::PluginModule* kept = module.get();
    (*loaded)[built.path] = std::move(module);
    return kept;
}

void FormatTest::SetUp() {
    module_ = LoadedModule(GetParam());
    ASSERT_NE(module_, nullptr);
}

void FormatTest::TearDown() {
    while (!instances_.empty()) instances_.pop_back();
}

host::PluginInstance& FormatTest::Create() {
    std::unique_ptr<host::PluginInstance> instance = module_->CreateInstance();
    EXPECT_NE(instance, nullptr) << GetParam().path;
    instances_.push_back(std::move(instance));
    return *instances_.back();
}

host::PluginInstance& FormatTest::Started(double rate, int block) {
    host::PluginInstance& fx = Create();
    EXPECT_TRUE(fx.Start(rate, block));
    return fx;
}

namespace {

template <typename Sample>
Stereo RenderIn(host::PluginInstance& fx, const std::vector<double>& left,
                const std::vector<double>& right, int block) {
    const std::vector<Sample> inLeft(left.begin(), left.end()), inRight(right.begin(), right.end());
    std::vector<Sample> outLeft(left.size()), outRight(left.size());
    for (std::size_t at = 0; at < left.size(); at += block) {
        const int n = static_cast<int>(std::min<std::size_t>(block, left.size() - at));
        Sample* inputs[] = {const_cast<Sample*>(inLeft.data()) + at,
                            const_cast<Sample*>(inRight.data()) + at};
        Sample* outputs[] = {outLeft.data() + at, outRight.data() + at};
        fx.Process(inputs, outputs, n);
    }
    return {{outLeft.begin(), outLeft.end()}, {outRight.begin(), outRight.end()}};
}

}  // namespace

Stereo Render(host::PluginInstance& fx, const std::vector<double>& left,
              const std::vector<double>& right, int block) {
    return RenderIn<double>(fx, left, right, block);
}

Stereo RenderFloat(host::PluginInstance& fx, const std::vector<double>& left,
                   const std::vector<double>& right, int block) {
    return RenderIn<float>(fx, left, right, block);
}
