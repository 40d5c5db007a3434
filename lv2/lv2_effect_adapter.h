// What an effect derives from in the LV2 module: Lv2Plugin, made with what the descriptor's
// instantiate read from the host (its rate and longest block).
#pragma once

#include "lv2/lv2_plugin.h"

using EffectAdapter = Lv2Plugin;
using EffectHost = Lv2Host;
