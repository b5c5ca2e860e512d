#pragma once

#include <QtGlobal>

namespace scopewatch::testing {

// The hostile-network and long-session tests run short in the normal test command; with
// SCOPEWATCH_SOAK=1 (scripts/soak.sh) they run their full length: a minute of flood on real
// time and two simulated hours of session.
inline bool SoakRun() {
    return qEnvironmentVariableIntValue("SCOPEWATCH_SOAK") == 1;
}

}  // namespace scopewatch::testing
