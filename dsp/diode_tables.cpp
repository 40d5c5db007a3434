#include "dsp/diode_tables.h"

#include <atomic>
#include <cmath>
#include <new>
#include <thread>

DiodeTables::DiodeTables() {
    // Stepped by repeated subtraction, not first - i * step: each entry's argument carries the
    // accumulated rounding, and the model's output depends on these entries bit for bit.
    double a = kFirstArgument;
    for (int i = 0; i < kCount; ++i) {
        sinh_[i] = std::sinh(a);
        cosh_[i] = std::cosh(a);
        a = a - kArgumentStep;
    }
}

namespace {
// Process-wide: the shared tables' storage in the module's own zeroed data, filled by the first
// caller. Static storage rather than one copy per engine: identical numbers for every instance,
// and a host with many instances is spared megabytes and start-up time per engine. Not a static
// of the function: guarding its first use would leave the Windows runtime's guard objects
// behind on every unload of the DLL.
alignas(DiodeTables) unsigned char gStorage[sizeof(DiodeTables)];
enum : int { kEmpty, kFilling, kReady };
std::atomic<int> gState{kEmpty};
}  // namespace

const DiodeTables& DiodeTables::Shared() {
    const auto* tables = reinterpret_cast<const DiodeTables*>(gStorage);
    if (gState.load(std::memory_order_acquire) == kReady) return *tables;
    int expected = kEmpty;
    if (gState.compare_exchange_strong(expected, kFilling, std::memory_order_acq_rel)) {
        new (gStorage) DiodeTables();
        gState.store(kReady, std::memory_order_release);
    } else {
        while (gState.load(std::memory_order_acquire) != kReady) std::this_thread::yield();
    }
    return *tables;
}
