#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later

# Installs every Debian 12 package that building, running and testing Luvana need.
# Safe to run again: apt-get only adds what is missing.
set -euo pipefail

if [ "$(id -u)" -ne 0 ]; then
  exec sudo -- "$0" "$@"
fi

packages=(
  # build
  cmake ninja-build g++ pkg-config git
  qt6-base-dev qt6-svg-dev qt6-multimedia-dev libsndfile1-dev libebur128-dev libespeak-ng-dev
  libsoundtouch-dev libpulse-dev
  # run: platform plugins, picture readers, Catalan dialog texts, sound, fonts
  qt6-qpa-plugins qt6-translations-l10n libqt6svg6 libqt6multimedia6 libsndfile1 libebur128-1
  libsoundtouch1
  # the recorder's Catalan voice: Festival's Ona, and espeak-ng where Festival is missing
  festival festival-ca festvox-ca-ona-hts libespeak-ng1 espeak-ng-data
  fonts-liberation fonts-comic-neue fonts-dejavu-core
  # test: a private sound server with a null sink, fuzzing and sanitizers, formatting and
  # packaging checks
  pulseaudio pulseaudio-utils clang clang-format libclang-rt-14-dev
  appstream desktop-file-utils dpkg-dev file lintian xvfb xauth x11-utils
  # test: real X screens under a window manager, a panel that reserves part of the screen, and a
  # screen that changes size
  openbox libxcb1-dev libxcb-randr0-dev
  # test: the accessibility bus a screen reader listens on, in a D-Bus session of its own, and
  # the screen reader itself
  at-spi2-core dbus orca
)

export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends "${packages[@]}"
