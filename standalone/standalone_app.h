// orv-q12 from start to end: the effect made and prepared at the JACK server's rate, its
// settings restored and the command line's applied, the client started and connected, the panel
// shown, the main loop, and the settings saved however the program ends.
// Threads: the program's main thread; JACK's threads only reach the plug-in (JackClient).
#pragma once

#include "standalone/standalone_options.h"

// The program's exit status: 0 after a signal to end or the window's close button, 1 when it
// could not start, the server or the display went away, or the settings could not be saved.
int RunStandalone(const StandaloneOptions& options);
