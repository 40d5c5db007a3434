// What an effect derives from in the CLAP module: ClapPlugin, made with the host that the
// factory's create_plugin receives.
#pragma once

#include "clap/clap_plugin.h"

using EffectAdapter = ClapPlugin;
using EffectHost = const clap::clap_host*;
