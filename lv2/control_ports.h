// The control inputs of an LV2 plug-in, one port per parameter in parameter order. The host
// writes plain values into them whenever it likes; run reads them all first: a changed value is
// applied as a plain one (ApplyHostPlainParam: clamped to its range, snapped to its steps), one
// that is not a number is ignored.
// The panel sets its parameter itself and sends the value to the host, which writes it into the
// port a block or more later, one value after another: those late values are not news, or a drag
// would jump back to them. After the panel sent a value, the port is followed again once it shows
// that value, or, once the gesture is over, after half a second (the host kept another value).
// Lifecycle: one per plug-in instance. Threads: every call holds the plug-in lock (run on the
// host's audio thread, the panel's calls on its user-interface thread).
#pragma once

#include "plugin/plugin_base.h"

class ControlPorts {
public:
    static constexpr int kMaxPorts = 32;

    // The host's buffer for parameter index's port; null disconnects it.
    void Connect(int index, const float* data);
    // Applies what changed in every connected port since the last read; frames is the coming
    // block's length, the time the panel's values have to come back.
    void Read(PluginBase& plug, int frames);

    // The panel sent value to the host as parameter index's new value.
    void Sent(int index, float value, double sampleRate);
    // The panel holds parameter index (a gesture began) or let it go.
    void Hold(int index, bool held);
    // Whether value, which the host says the port now holds, is news to the panel: false for a
    // value that is not a number, and for the late values of the panel's own edits.
    bool IsNews(int index, float value) const;

private:
    struct Port {
        const float* data = nullptr;
        float lastRead = 0;
        bool read = false;  // lastRead holds a value read from the port
        float sent = 0;
        bool awaitingSent = false;
        bool held = false;
        int framesLeft = 0;  // until the port is followed again whatever it shows
    };

    Port* At(int index) { return index >= 0 && index < kMaxPorts ? &ports_[index] : nullptr; }

    Port ports_[kMaxPorts];
};
