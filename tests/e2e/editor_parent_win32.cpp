#include "tests/e2e/editor_parent.h"
#include "tests/win32/host_window.h"

namespace {

class Win32Parent : public EditorParent {
public:
    void* Handle() const override { return HostWindow::Shared().Handle(); }
    void Idle(const host::HostedEffect&) override { PumpPending(); }
    int EditorsAfterIdling(const host::HostedEffect& fx, int) override {
        Idle(fx);
        int count = 0;
        for (HWND w = FindWindowExA(HostWindow::Shared().Handle(), nullptr, "PluginEditorWndClass",
                                    nullptr);
             w != nullptr;
             w = FindWindowExA(HostWindow::Shared().Handle(), w, "PluginEditorWndClass", nullptr)) {
            ++count;
        }
        return count;
    }
};

}  // namespace

std::unique_ptr<EditorParent> EditorParent::Create() { return std::make_unique<Win32Parent>(); }
