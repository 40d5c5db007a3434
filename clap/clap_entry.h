// What a CLAP module's entry and factory do for any effect: init and deinit counted (a host may
// call them more than once; the module acts on the first and the last), one plug-in described
// by the identity, and instances made under the process-wide entry lock. The module's own entry
// file binds these to its effect and exports `clap_entry`.
// Threads: init and deinit never run beside another call into the module; the factory's
// functions may run on any thread.
#pragma once

#include <cstdint>

#include "clap/clap_abi.h"
#include "clap/clap_plugin.h"

// Makes one effect object for the host; null when memory is short. Must not throw.
using ClapPluginMaker = ClapPlugin* (*)(const clap::clap_host* host);

// The one plug-in of the module: ORV Q12 under its CLAP id.
extern const clap::clap_plugin_descriptor kClapDescriptor;

bool ClapEntryInit(const char* pluginPath);
void ClapEntryDeinit();

// The factory's answers.
std::uint32_t ClapPluginCount(const clap::clap_plugin_factory* factory);
const clap::clap_plugin_descriptor* ClapPluginDescriptor(const clap::clap_plugin_factory* factory,
                                                         std::uint32_t index);
// create_plugin: a new plug-in for a compatible host asking for this id while the module is
// initialised; null otherwise, or when the object could not be made complete (nothing is left
// behind then). The host is not called.
const clap::clap_plugin* CreateClapPlugin(const clap::clap_host* host, const char* pluginId,
                                          ClapPluginMaker make);
// get_factory: `factory` for the plug-in factory's id while the module is initialised, else null.
const void* ClapFactory(const char* factoryId, const clap::clap_plugin_factory* factory);
