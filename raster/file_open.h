// Opens a file named by a UTF-8 path for binary reading; null when it cannot be opened. On
// Windows the path goes through the wide-character open, so names outside the ANSI code page work.
#pragma once

#include <cstdio>

std::FILE* OpenFileForReading(const char* utf8Path);
