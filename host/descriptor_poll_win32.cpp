#include "host/descriptor_poll.h"

namespace host {

std::uint32_t PollDescriptor(int, std::uint32_t) { return 0; }

}  // namespace host
