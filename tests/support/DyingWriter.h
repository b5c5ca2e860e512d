#pragma once

#include <csignal>

#include "platform/AtomicFile.h"

namespace scopewatch::testing {

// Every step of an atomic write, in order.
inline constexpr AtomicWriteStep kEveryWriteStep[] = {
    AtomicWriteStep::Created, AtomicWriteStep::HalfWritten, AtomicWriteStep::Written,
    AtomicWriteStep::Synced, AtomicWriteStep::Renamed};

// A write hook that ends the process with SIGKILL at the step, as a writer that dies there.
// For the statement of EXPECT_EXIT(..., KilledBySignal(SIGKILL), ""), which runs in a child
// process.
inline AtomicWriteHook KillTheWriterAt(AtomicWriteStep step) {
    return [step](AtomicWriteStep reached) {
        if (reached == step) {
            std::raise(SIGKILL);
        }
        return true;
    };
}

}  // namespace scopewatch::testing
