#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later

# What the browser build needs on Debian 12, installed once, apart from the build itself (which
# never asks for root):
#  - Debian's Emscripten (3.1.6, with its prebuilt system libraries) and Node.js, which runs its
#    optimizer and the library checks;
#  - the host tools that Qt's cross build runs: Debian's own Qt 6.4 (moc, rcc, uic, syncqt's
#    Perl), Qt's shader baker for Multimedia's build, CMake, Ninja, pkg-config;
#  - dpkg-dev, with which apt-get unpacks the source packages of the libraries;
#  - Chromium, to open the page headless in the check, driven through the DevTools protocol from
#    Python (python3-websockets); puppeteer-core from npm does the same from Node.
# Safe to run again: apt-get only adds what is missing, and the package lists are refreshed only
# when something cannot be found in them.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
  exec sudo -- "$0" "$@"
fi

packages=(
  # the compiler and what runs it
  emscripten nodejs node-acorn python3
  # host tools of Qt's cross build, and the build itself
  qt6-base-dev qt6-base-dev-tools qt6-shadertools-dev qt6-shader-baker
  cmake ninja-build pkg-config perl patch dpkg-dev xz-utils ca-certificates
  # the check in a browser
  chromium python3-websockets
)

export DEBIAN_FRONTEND=noninteractive
# Another apt-get (another setup script) may hold the lock for a while: wait for it.
apt_get=(apt-get -o DPkg::Lock::Timeout=900 -y --no-install-recommends)
if ! "${apt_get[@]}" install "${packages[@]}"; then
  "${apt_get[@]}" update
  "${apt_get[@]}" install "${packages[@]}"
fi
