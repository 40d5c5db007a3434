// Whether a file descriptor has something for its reader now, as a host's main loop asks before
// it hands the descriptor's owner its turn. Nothing waits.
#pragma once

#include <cstdint>

namespace host {

enum : std::uint32_t { kDescriptorReadable = 1, kDescriptorWritable = 2, kDescriptorError = 4 };

// Of the conditions asked for (the flags above), those that hold now; 0 for none, and always 0
// where the system has no such descriptors (Windows).
std::uint32_t PollDescriptor(int fd, std::uint32_t asked);

}  // namespace host
