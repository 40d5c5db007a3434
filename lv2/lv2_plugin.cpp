#include "lv2/lv2_plugin.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "adapter/host_audio.h"
#include "editor/editor.h"

Lv2Plugin::Lv2Plugin(const Lv2Host& host, const PluginConstants& constants)
    : PluginBase(constants), hostRate_(host.sampleRate) {
    for (int i = 0; i < NInputs(); ++i) Input(i)->connected = i < 2;
    for (int i = 0; i < NOutputs(); ++i) Output(i)->connected = i < 2;
    const int block =
        host.maxBlockLength > 0 ? std::min(host.maxBlockLength, kMaxBlock) : kDefaultBlock;
    if (IsComplete() && !SetBlockSize(block)) MarkIncomplete();
}

// The editor's destructor may still call the host-facing operations, which live here; the
// host's UI side is not told of a gesture the destruction ends.
Lv2Plugin::~Lv2Plugin() {
    {
        LockGuard guard(lock);
        ui_ = UiLink();
    }
    DeleteEditor();
}

void Lv2Plugin::TakeHostRate() {
    LockGuard guard(lock);
    // The descriptor's instantiate refuses rates no host runs at.
    sampleRate = hostRate_;
    ResetState();
}

int Lv2Plugin::ParamOfPort(std::uint32_t port) const {
    if (port < kAudioPorts || port - kAudioPorts >= static_cast<std::uint32_t>(ParamCount()))
        return -1;
    return static_cast<int>(port - kAudioPorts);
}

Editor* Lv2Plugin::WindowEditor() const {
    return editor != nullptr && editor->CanOpenWindow() ? editor : nullptr;
}

void Lv2Plugin::ConnectPort(std::uint32_t port, void* data) {
    LockGuard guard(lock);
    if (port < kAudioPorts) {
        audio_[port] = static_cast<float*>(data);
    } else if (ParamOfPort(port) >= 0) {
        controls_.Connect(ParamOfPort(port), static_cast<const float*>(data));
    }
}

void Lv2Plugin::Activate() {
    LockGuard guard(lock);
    ActivationChanged(true);
}

void Lv2Plugin::Deactivate() {
    LockGuard guard(lock);
    ActivationChanged(false);
    ResetState();
}

void Lv2Plugin::Run(std::uint32_t frames) {
    LockGuard guard(lock);
    const int count = static_cast<int>(std::min<std::uint32_t>(frames, INT_MAX));
    controls_.Read(*this, count);
    for (float* buffer : audio_) {
        if (buffer == nullptr) return;
    }
    ProcessHostAudio(*this, audio_, audio_ + 2, 0, count);
}

void* Lv2Plugin::OpenUi(void* parent, const UiLink& link) {
    LockGuard guard(lock);
    Editor* panel = WindowEditor();
    if (panel == nullptr || uiOpen_ || link.write == nullptr) return nullptr;
    void* window = panel->CreateEditorWindow(parent);
    if (window == nullptr) return nullptr;
    ui_ = link;
    uiOpen_ = true;
    // The host's word on the scale goes before the X server's.
    if (link.scaleFactor > 0.0f) panel->SetDisplayScale(PanelScale::FromFactor(link.scaleFactor));
    OnEditorOpen();
    return window;
}

bool Lv2Plugin::RequestEditorSize(int width, int height) {
    if (!uiOpen_ || ui_.resize == nullptr || ui_.resize->ui_resize == nullptr) return false;
    return ui_.resize->ui_resize(ui_.resize->handle, width, height) == 0;
}

void Lv2Plugin::CloseUi() {
    LockGuard guard(lock);
    if (!uiOpen_) return;
    OnEditorClose();
    // The window goes first: a gesture it ends still reaches the host.
    if (Editor* panel = WindowEditor()) panel->DestroyEditorWindow();
    ui_ = UiLink();
    uiOpen_ = false;
}

void Lv2Plugin::IdleUi() {
    // Drawing and talking to the X server take milliseconds, which run must not wait for.
    if (!uiOpen_) return;
    if (Editor* panel = WindowEditor()) panel->Idle();
}

bool Lv2Plugin::EditorSize(int* width, int* height) const {
    const Editor* panel = WindowEditor();
    if (panel == nullptr) return false;
    *width = panel->PixelWidth();
    *height = panel->PixelHeight();
    return true;
}

void Lv2Plugin::PortEvent(std::uint32_t port, float value) {
    LockGuard guard(lock);
    const int index = ParamOfPort(port);
    if (index < 0 || editor == nullptr || !controls_.IsNews(index, value)) return;
    editor->ReceiveParamFromPlugin(index, Param(index)->NormalizedValueOf(value), true);
}

void Lv2Plugin::BeginParamEdit(int index) {
    LockGuard guard(lock);
    if (!IsValidParam(index)) return;
    controls_.Hold(index, true);
    if (ui_.touch != nullptr) ui_.touch->touch(ui_.touch->handle, PortOf(index), true);
}

void Lv2Plugin::AutomateParam(int index, double /*normalized*/) {
    LockGuard guard(lock);
    if (!IsValidParam(index) || ui_.write == nullptr) return;
    // What the parameter stored (a switch's snapped position), as the port carries it.
    const float value = static_cast<float>(Param(index)->value);
    controls_.Sent(index, value, sampleRate);
    ui_.write(ui_.controller, PortOf(index), sizeof(float), 0, &value);
}

void Lv2Plugin::EndParamEdit(int index) {
    LockGuard guard(lock);
    if (!IsValidParam(index)) return;
    controls_.Hold(index, false);
    if (ui_.touch != nullptr) ui_.touch->touch(ui_.touch->handle, PortOf(index), false);
}

void Lv2Plugin::GetTimeSignature(std::int32_t* numerator, std::int32_t* denominator) {
    *numerator = 0;
    *denominator = 0;
}
