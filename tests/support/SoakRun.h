#pragma once

#include <QtGlobal>
#include <chrono>
#include <cstdint>

namespace scopewatch::testing {

// The hostile-network and long-session tests run short in the normal test command; with
// SCOPEWATCH_SOAK=1 (scripts/soak.sh) they run their full length: a minute of flood on real
// time and two simulated hours of session.
inline bool SoakRun() {
    return qEnvironmentVariableIntValue("SCOPEWATCH_SOAK") == 1;
}

// Units of the figures these runs print.
template <typename Duration>
double Milliseconds(Duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}
inline double MiB(int64_t bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

}  // namespace scopewatch::testing
