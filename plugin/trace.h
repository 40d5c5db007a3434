// Trace points of the framework: the qualified operation, the line and a printf-style format.
// The hook produces no output; it is the one place to attach a log while debugging.
#pragma once

inline void Trace(const char* /*operation*/, int /*line*/, const char* /*format*/, ...) {}
