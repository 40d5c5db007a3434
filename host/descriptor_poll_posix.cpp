#include <poll.h>

#include "host/descriptor_poll.h"

namespace host {

std::uint32_t PollDescriptor(int fd, std::uint32_t asked) {
    pollfd entry{};
    entry.fd = fd;
    if (asked & kDescriptorReadable) entry.events |= POLLIN;
    if (asked & kDescriptorWritable) entry.events |= POLLOUT;
    if (poll(&entry, 1, 0) <= 0) return 0;
    std::uint32_t ready = 0;
    if (entry.revents & POLLIN) ready |= kDescriptorReadable;
    if (entry.revents & POLLOUT) ready |= kDescriptorWritable;
    if ((asked & kDescriptorError) && (entry.revents & (POLLERR | POLLHUP | POLLNVAL)))
        ready |= kDescriptorError;
    return ready & asked;
}

}  // namespace host
