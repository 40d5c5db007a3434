// How the glyph path reads UTF-8: one character code per call, with the fallbacks that keep
// malformed bytes visible instead of dropping them.
#pragma once

#include <cstdint>

// Decodes the character at `text`, reading at most `available` (>= 1) bytes and none past a
// byte that ends the sequence. Returns the bytes used (1..4) and stores the 16-bit code:
// one-byte codes below 0xC2 and stray bytes are their own code; two- and three-byte sequences
// give their code (truncated to 16 bits); four-byte sequences give a space.
int DecodeTextCharacter(const char* text, int available, uint16_t* code);
