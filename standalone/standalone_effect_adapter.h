// What an effect derives from in orv-q12, the standalone program: StandalonePlugin, made with
// nothing from a host, for the program hosts it itself.
#pragma once

#include "standalone/standalone_plugin.h"

using EffectAdapter = StandalonePlugin;
using EffectHost = StandaloneHost;
