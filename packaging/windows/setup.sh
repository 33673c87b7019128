#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later

# What the Windows build needs on Debian 12 beyond packaging/setup-debian.sh, installed once,
# apart from the build itself (which never asks for root): the MinGW-w64 cross compiler with
# POSIX threads, NSIS for the installer, Wine to run and test it, xdotool to answer the Windows
# open dialog in that test, Qt's shader tools for Qt Multimedia's build, dpkg-dev, with which
# apt-get unpacks the source packages of the libraries, and strip-nondeterminism, which takes
# the packing machine's own times out of the zip.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
  exec sudo -- "$0" "$@"
fi

bash "$(dirname "$0")/../setup-debian.sh"
export DEBIAN_FRONTEND=noninteractive
# Another apt-get (another setup script) may hold the lock for a while: wait for it.
apt-get -o DPkg::Lock::Timeout=900 -y --no-install-recommends install \
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 nsis wine64 \
  wine dpkg-dev perl python3 qt6-shadertools-dev qt6-shader-baker xdotool strip-nondeterminism
