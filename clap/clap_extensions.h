// The extension tables a ClapPlugin hands its host, each defined beside the operations it calls.
#pragma once

#include "clap/clap_abi.h"

extern const clap::clap_plugin_audio_ports kClapAudioPorts;  // clap_process.cpp
extern const clap::clap_plugin_latency kClapLatency;         // clap_process.cpp
extern const clap::clap_plugin_tail kClapTail;               // clap_process.cpp
extern const clap::clap_plugin_params kClapParams;           // clap_params.cpp
extern const clap::clap_plugin_state kClapState;             // clap_state.cpp
extern const clap::clap_plugin_gui kClapGui;                 // clap_gui.cpp
extern const clap::clap_plugin_timer_support kClapTimerSupport;
extern const clap::clap_plugin_posix_fd_support kClapPosixFdSupport;
