#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, when any is missing.
set -euo pipefail

# libpcap-dev reads and writes packet captures; dpkg-dev (dpkg-shlibdeps) and file make the
# Debian package, help2man its manual pages; lintian checks the package, man-db shows the
# pages; desktop-file-utils and appstream validate the desktop entry and the metainfo; clang
# with its runtimes and linker builds the sanitized tests and the fuzz targets; D-Bus and the
# accessibility bus let a test hear what a screen reader hears; Qt Multimedia plays the sounds.
packages=(cmake make g++ pkg-config qt6-base-dev qt6-multimedia-dev libgl-dev libpcap-dev
          libgtest-dev libgmock-dev libbenchmark-dev clang-format xvfb xauth fonts-dejavu-core
          tshark locales
          dpkg-dev file help2man lintian man-db desktop-file-utils appstream clang
          libclang-rt-14-dev lld dbus-bin dbus-daemon at-spi2-core "$@")

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
        || missing+=("$package")
done

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
fi

# The tests that numbers keep their decimal point under a decimal-comma locale need one.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    echo "Generating the locale de_DE.UTF-8"
    $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
