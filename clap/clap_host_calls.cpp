// The plug-in object's calls to the host: the panel's edits as gestures for the next process or
// flush, the editor's size, and the transport of the block being processed.
#include "clap/clap_plugin.h"

using namespace clap;

void ClapPlugin::BeginParamEdit(int index) {
    LockGuard guard(lock);
    gestures_.Begin(index);
    AskForFlushIfIdle();
}

// The value the parameter now holds, in its own units: what the host records and sends back
// stores the very same value.
void ClapPlugin::AutomateParam(int index, double /*normalized*/) {
    LockGuard guard(lock);
    if (!IsValidParam(index)) return;
    gestures_.Value(index, Param(index)->value);
    AskForFlushIfIdle();
}

void ClapPlugin::EndParamEdit(int index) {
    LockGuard guard(lock);
    gestures_.End(index);
    AskForFlushIfIdle();
}

void ClapPlugin::AskForFlushIfIdle() {
    if (processing_ || flushAsked_ || gestures_.Empty()) return;
    if (hostParams_ == nullptr || hostParams_->request_flush == nullptr) return;
    flushAsked_ = true;
    hostParams_->request_flush(host_);
}

void ClapPlugin::ReportPresetChange() {
    if (hostParams_ != nullptr && hostParams_->rescan != nullptr) {
        hostParams_->rescan(host_, CLAP_PARAM_RESCAN_VALUES | CLAP_PARAM_RESCAN_TEXT);
    }
}

void ClapPlugin::ResizeEditor(int width, int height) {
    if (hostGui_ != nullptr && hostGui_->request_resize != nullptr && width > 0 && height > 0) {
        hostGui_->request_resize(host_, static_cast<std::uint32_t>(width),
                                 static_cast<std::uint32_t>(height));
    }
}

bool ClapPlugin::RequestEditorSize(int width, int height) {
    if (!windowOpen_ || hostGui_ == nullptr || hostGui_->request_resize == nullptr) return false;
    return hostGui_->request_resize(host_, static_cast<std::uint32_t>(width),
                                    static_cast<std::uint32_t>(height));
}

// The transport carries no position this adapter reads.
std::int32_t ClapPlugin::GetSamplePosition() { return 0; }

double ClapPlugin::GetTempo() {
    TransportInfo info;
    GetTransportInfo(info);
    return info.tempo;
}

void ClapPlugin::GetTimeSignature(std::int32_t* numerator, std::int32_t* denominator) {
    *numerator = 0;
    *denominator = 0;
}

void ClapPlugin::GetTransportInfo(TransportInfo& info) {
    if (transport_ == nullptr) return;
    if ((transport_->flags & CLAP_TRANSPORT_HAS_TEMPO) != 0 && transport_->tempo > 0) {
        info.tempo = transport_->tempo;
    }
    info.running = (transport_->flags & CLAP_TRANSPORT_IS_PLAYING) != 0;
}

// The plug-in has no note ports.
bool ClapPlugin::SendMidiMessage(const MidiMessage&) { return false; }
