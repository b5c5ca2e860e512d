#!/usr/bin/env bash
# The long runs of the hostile-network and long-session tests: a minute of flood at five
# thousand messages a second on real time, and two simulated hours of a busy session (twenty
# pilots, chat every three seconds) on a clock a hundred times as fast. Takes about four
# minutes. The normal test command (scripts/test.sh) runs the same tests, shorter.
# Builds into build/ (the same folder scripts/test.sh uses), optimised and without sanitizers,
# and prints each test's figures.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSCOPEWATCH_BUILD_TESTS=ON >/dev/null
cmake --build build -j "$(nproc)" --target test_app
cd build/tests
status=0
SCOPEWATCH_SOAK=1 ./test_app --gtest_filter='HostileNetwork.*:LongSession.*' | tee soak.log \
    || status=$?
echo
grep '^\[figures\]' soak.log || true
exit "$status"
