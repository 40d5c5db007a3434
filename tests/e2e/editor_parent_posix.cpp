#include <chrono>
#include <thread>

#include "tests/e2e/editor_parent.h"
#include "tests/editor_x11/x11_test_host.h"

namespace {

constexpr int kLeft = 40;
constexpr int kTop = 40;

class X11Parent : public EditorParent {
public:
    X11Parent() : window_(x11_.CreateWindow(kLeft, kTop, 420, 460)) {}
    ~X11Parent() override { x11_.DestroyWindow(window_); }

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
};

}  // namespace

std::unique_ptr<EditorParent> EditorParent::Create() {
    X11TestHost probe;
    if (!probe.Connected()) return nullptr;
    return std::make_unique<X11Parent>();
}
