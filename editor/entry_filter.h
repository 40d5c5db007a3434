// Which typed characters a text entry box takes for a parameter; every back-end's box uses it.
#pragma once

class PluginParam;

// A stepped parameter takes "+", "-" and the digits, a continuous one also "."; an unset
// parameter, and a box without a parameter, take every character. Backspace always passes.
bool EntryTakesCharacter(const PluginParam* param, char c);
