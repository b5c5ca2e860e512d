#!/usr/bin/env bash
# Builds the Debian package: installs what the build needs, builds Scopewatch without the
# tests into build-package/ and runs cpack there. Prints the package's path; install it with
# apt-get install ./build-package/scopewatch_1.0_<arch>.deb
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSCOPEWATCH_BUILD_TESTS=OFF \
    >/dev/null
cmake --build build-package -j "$(nproc)"
(cd build-package && cpack -G DEB >/dev/null)
ls "$PWD"/build-package/scopewatch_*.deb
