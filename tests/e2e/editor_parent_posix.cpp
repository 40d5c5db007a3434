#include <chrono>
#include <string>
#include <thread>

#include "tests/e2e/editor_parent.h"
#include "tests/editor_x11/x11_test_host.h"

namespace {

constexpr int kLeft = 40;
constexpr int kTop = 40;

class X11Parent : public EditorParent {
public:
    // Room for the panel at 200%.
    X11Parent() : window_(x11_.CreateWindow(kLeft, kTop, 640, 720)) {}
    ~X11Parent() override {
        if (resourcesChanged_) x11_.SetRootResources(savedResources_);
        x11_.DestroyWindow(window_);
    }

    bool Connected() const { return x11_.Connected(); }
    void* Handle() const override { return reinterpret_cast<void*>(uintptr_t{window_}); }
    void Idle(host::PluginInstance& fx) override { fx.IdleEditor(); }
    int EditorsAfterIdling(host::PluginInstance& fx, int expected) override {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        int count = 0;
        while ((count = static_cast<int>(x11_.Children(window_).size())) != expected &&
               std::chrono::steady_clock::now() < end) {
            Idle(fx);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return count;
    }

    void Click(host::PluginInstance& fx, int x, int y, bool right) override {
        x11_.MoveTo(kLeft + x, kTop + y);
        IdleFor(fx, 10);
        x11_.Button(right ? 3 : 1, true);
        IdleFor(fx, 20);
        x11_.Button(right ? 3 : 1, false);
        IdleFor(fx, 40);
    }

    bool SetDisplayDpi(int dpi) override {
        if (!resourcesChanged_ && !x11_.RootResources(&savedResources_)) savedResources_.clear();
        resourcesChanged_ = true;
        x11_.SetRootResources("Xft.dpi:\t" + std::to_string(dpi) + "\n");
        return true;
    }

    std::vector<uint32_t> EditorPixels(host::PluginInstance& fx) override {
        IdleFor(fx, 60);
        const std::vector<uint32_t> children = x11_.Children(window_);
        if (children.size() != 1) return {};
        const WindowImage image = x11_.Image(children[0]);
        std::vector<uint32_t> rgb;
        for (const uint32_t pixel : image.pixels) {
            uint32_t value = 0;
            for (int c = 0; c < 3; ++c) {
                const uint32_t mask = image.masks[c];
                const uint32_t channel = (pixel & mask) >> __builtin_ctz(mask);
                const int bits = __builtin_popcount(mask);
                value |= (bits >= 8 ? channel >> (bits - 8) : channel << (8 - bits))
                         << (16 - 8 * c);
            }
            rgb.push_back(value);
        }
        return rgb;
    }

private:
    void IdleFor(host::PluginInstance& fx, int milliseconds) {
        x11_.Sync();
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        while (std::chrono::steady_clock::now() < end) {
            Idle(fx);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    X11TestHost x11_;
    uint32_t window_;
    std::string savedResources_;
    bool resourcesChanged_ = false;
};

}  // namespace

std::unique_ptr<EditorParent> EditorParent::Create() {
    X11TestHost probe;
    if (!probe.Connected()) return nullptr;
    return std::make_unique<X11Parent>();
}
