#pragma once

#include <csignal>

#include "platform/AtomicFile.h"

namespace scopewatch::testing {

// Every step of an atomic write, in order.
inline constexpr AtomicWriteStep kEveryWriteStep[] = {
    AtomicWriteStep::Created, AtomicWriteStep::HalfWritten, AtomicWriteStep::Written,
    AtomicWriteStep::Synced, AtomicWriteStep::Renamed};

// Makes the next atomic write end the process with SIGKILL at the step, as a writer that
// dies there. For the statement of EXPECT_EXIT(..., KilledBySignal(SIGKILL), ""), which runs
// in a child process.
inline void KillTheWriterAt(AtomicWriteStep step) {
    SetAtomicWriteHook([step](AtomicWriteStep reached) {
        if (reached == step) {
            std::raise(SIGKILL);
        }
        return true;
    });
}

// Removes any write hook when it goes.
struct WriteHookReset {
    ~WriteHookReset() { SetAtomicWriteHook({}); }
};

}  // namespace scopewatch::testing
