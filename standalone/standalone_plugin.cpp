#include "standalone/standalone_plugin.h"

#include "adapter/host_audio.h"

StandalonePlugin::StandalonePlugin(StandaloneHost /*host*/, const PluginConstants& constants)
    : PluginBase(constants) {
    for (int i = 0; i < NInputs(); ++i) Input(i)->connected = true;
    for (int i = 0; i < NOutputs(); ++i) Output(i)->connected = true;
}

// The editor's destructor may still call the host-facing slots, which live here.
StandalonePlugin::~StandalonePlugin() { DeleteEditor(); }

void StandalonePlugin::Open() {
    LockGuard guard(lock);
    ReportAllParams();
}

bool StandalonePlugin::Prepare(double rate, int maxFrames) {
    LockGuard guard(lock);
    if (!(rate >= kMinSampleRate && rate <= kMaxSampleRate) || maxFrames < 1) return false;
    if (prepared_ && rate == sampleRate && maxFrames == blockSize) return true;
    if (prepared_) {
        ActivationChanged(false);
        ResetState();
    }
    // In the order a host sets them: the rate, the block size, then processing on.
    sampleRate = rate;
    ResetState();
    if (!SetBlockSize(maxFrames)) return false;
    ResetState();
    ActivationChanged(true);
    prepared_ = true;
    return true;
}

void StandalonePlugin::Process(float* const* inputs, float* const* outputs, int frames) {
    ProcessHostAudio(*this, inputs, outputs, 0, frames);
}

bool StandalonePlugin::EditorSize(int* width, int* height) const {
    if (editor == nullptr || !editor->CanOpenWindow()) return false;
    *width = editor->PixelWidth();
    *height = editor->PixelHeight();
    return true;
}

bool StandalonePlugin::OpenEditor(WindowHandle parent) {
    LockGuard guard(lock);
    if (editor == nullptr || !editor->CanOpenWindow()) return false;
    if (editor->CreateEditorWindow(parent) == nullptr) return false;
    OnEditorOpen();
    return true;
}

void StandalonePlugin::CloseEditor() {
    LockGuard guard(lock);
    if (editor == nullptr || !editor->HasEditorWindow()) return;
    OnEditorClose();
    editor->DestroyEditorWindow();
}

void StandalonePlugin::IdleEditor() {
    if (editor != nullptr) editor->Idle();
}

int StandalonePlugin::EditorEventDescriptor() const {
    return editor != nullptr ? editor->EventFileDescriptor() : -1;
}

void StandalonePlugin::GetTimeSignature(std::int32_t* numerator, std::int32_t* denominator) {
    if (numerator != nullptr) *numerator = 4;
    if (denominator != nullptr) *denominator = 4;
}
