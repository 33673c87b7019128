#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later

# Takes the user guide's pictures (docs/img/*.png) on a private Xvfb display: the project's
# luvana_screenshots drives the real window along the pupil's and the teacher's roads with the
# sample dictations and saves the window at each stop, then does a whole dictation on a 1366x768
# screen with a 32-px panel, under a window manager, and saves that screen. Dev-only: needs
# xvfb, openbox and xprop (x11-utils).
#
#   docs/screenshots.sh [build-dir]     (default: build/dev, configured and built if needed)
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/.." && pwd)"
build="${1:-$repo/build/dev}"
command -v Xvfb >/dev/null || { echo "screenshots.sh: Xvfb is missing (apt-get install xvfb)" >&2; exit 1; }

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUVANA_BUILD_SCREENSHOTS=ON
else
  cmake "$build" -DLUVANA_BUILD_SCREENSHOTS=ON >/dev/null
fi
cmake --build "$build" --target luvana_screenshots luvana_data luvana_strutpanel

work="$(mktemp -d)"
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || { cat "$work/xvfb.log" >&2; exit 1; }
  sleep 0.1
done
[ -s "$work/display" ] || { echo "screenshots.sh: Xvfb did not start" >&2; exit 1; }

# The clips need not be heard while the pictures are taken.
DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb PULSE_SERVER="unix:$work/no-sound" \
  "$build/packaging/luvana_screenshots" "$build/app/dictats" "$here/img"

# A school laptop's screen, its task bar reserving the bottom 32 pixels.
PULSE_SERVER="unix:$work/no-sound" "$repo/tests/support/x-session.sh" 1366x768 \
  --panel "$build/tests/luvana_strutpanel" 32 -- \
  "$build/packaging/luvana_screenshots" "$build/app/dictats" "$here/img" --small-screen
