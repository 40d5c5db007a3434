// A host's view of the plug-in's parameters, the same in every format: normalised values read
// and set as automation sets them, the texts a host shows (a value and its label) and the typed
// text it turns into a value. Invalid indices read as 0 or "" and change nothing.
// Threads: any host thread, the audio thread included; each call holds the plug-in lock.
#pragma once

#include <cstddef>

#include "plugin/plugin_base.h"

// The parameter's normalised value, 0 for an index that is not a parameter.
double HostParamValue(PluginBase& plug, int index);

// Sets a parameter from a host's normalised value, as automation does: a value that is not
// finite changes nothing, one outside 0..1 is taken as the nearer end; the editor is told the
// value before it snaps to a step, the parameter takes it, and the effect hears of it
// (ParamChanged).
void ApplyHostParam(PluginBase& plug, int index, double normalized);

// Sets a parameter from a host's plain value, in the parameter's own units (CLAP's events, LV2's
// control ports): a value that is not a number changes nothing, one outside the range is taken as
// the nearer end, a stepped parameter takes the nearest step; then as ApplyHostParam. A plain
// value x * (max - min) + min is stored with the very bits ApplyHostParam stores for x.
void ApplyHostPlainParam(PluginBase& plug, int index, double plain);

// The display text of the parameter's current value into out (cut to size with its NUL);
// false, out untouched, for an invalid index or buffer.
bool HostParamDisplay(PluginBase& plug, int index, char* out, std::size_t size);
// The display text another value would have: a plain value in the parameter's own units, or a
// normalised one.
bool HostParamDisplayOfPlain(PluginBase& plug, int index, double plain, char* out,
                             std::size_t size);
bool HostParamDisplayOfNormalized(PluginBase& plug, int index, double normalized, char* out,
                                  std::size_t size);
// The unit shown after the value; "" while the value shows a text of its own.
bool HostParamLabel(PluginBase& plug, int index, char* out, std::size_t size);

// A typed text as the parameter's plain value, within its range, parsed as the panel's value box
// parses it; false for an invalid index or a text the parameter cannot take.
bool HostParamValueFromText(PluginBase& plug, int index, const char* text, double* plain);
// Sets the parameter from a typed text: the editor is told the value as typed, the parameter
// takes it within its range, and the effect hears of it. False, nothing changed, as above.
bool SetHostParamFromText(PluginBase& plug, int index, const char* text);
