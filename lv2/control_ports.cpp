#include "lv2/control_ports.h"

#include <algorithm>
#include <cmath>

#include "adapter/host_params.h"

void ControlPorts::Connect(int index, const float* data) {
    Port* port = At(index);
    // A new buffer is read afresh: its value is the host's, whatever the old one held. Hosts
    // may connect the same buffer before every run.
    if (port == nullptr || port->data == data) return;
    port->data = data;
    port->read = false;
}

void ControlPorts::Read(PluginBase& plug, int frames) {
    const int count = std::min(plug.ParamCount(), kMaxPorts);
    for (int index = 0; index < count; ++index) {
        Port& port = ports_[index];
        if (port.data == nullptr) continue;
        const float value = *port.data;
        if (std::isnan(value)) continue;
        if (port.awaitingSent) {
            if (value == port.sent) {
                // Caught up: the parameter takes the port's own value, which the host keeps.
                port.awaitingSent = false;
                port.read = false;
            } else {
                port.framesLeft -= std::min(frames, port.framesLeft);
                port.lastRead = value;
                port.read = true;
                if (port.held || port.framesLeft > 0) continue;
                port.awaitingSent = false;
                port.read = false;
            }
        }
        if (port.read && value == port.lastRead) continue;
        port.lastRead = value;
        port.read = true;
        ApplyHostPlainParam(plug, index, value);
    }
}

void ControlPorts::Sent(int index, float value, double sampleRate) {
    if (Port* port = At(index)) {
        port->sent = value;
        port->awaitingSent = true;
        port->framesLeft = static_cast<int>(sampleRate * 0.5);
    }
}

void ControlPorts::Hold(int index, bool held) {
    if (Port* port = At(index)) port->held = held;
}

bool ControlPorts::IsNews(int index, float value) const {
    if (index < 0 || index >= kMaxPorts || std::isnan(value)) return false;
    const Port& port = ports_[index];
    return !port.awaitingSent || value == port.sent;
}
