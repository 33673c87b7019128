#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command on a private X server of the given size, under a window manager (openbox) that
# frames windows and keeps them out of the area a panel reserves, as a school's desktop does.
#
#   x-session.sh <width>x<height> [--panel <strut-panel program> <height>] -- <command...>
#
# The command gets DISPLAY and QT_QPA_PLATFORM=xcb. Without Xvfb, openbox or xprop the script
# exits with 77, which ctest counts as skipped, and says what is missing; under CI (CI set) it
# fails instead.
set -euo pipefail

size=$1
shift
panel=()
if [ "${1:-}" = "--panel" ]; then
  panel=("$2" "$3")
  shift 3
fi
[ "${1:-}" = "--" ] && shift

for tool in Xvfb openbox xprop; do
  if ! command -v "$tool" >/dev/null; then
    echo "x-session.sh: $tool is missing (packaging/setup-debian.sh installs it)" >&2
    [ -n "${CI:-}" ] && exit 1
    exit 77
  fi
done

work=$(mktemp -d)
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[$i]}" 2>/dev/null && wait "${pids[$i]}" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display and writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  kill -0 "${pids[0]}" 2>/dev/null || { cat "$work/xvfb.log" >&2; exit 1; }
  sleep 0.1
done
[ -s "$work/display" ] || { echo "x-session.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")"

# Openbox runs its --startup command once it manages windows, which is later than it claims the
# screen; a window mapped in between may wait long for its first expose.
HOME="$work" openbox --sm-disable --startup "touch $work/wm-ready" 2>"$work/openbox.log" &
pids+=($!)
for _ in $(seq 300); do
  [ -e "$work/wm-ready" ] && break
  sleep 0.1
done
[ -e "$work/wm-ready" ] || { cat "$work/openbox.log" >&2; echo "x-session.sh: openbox did not start" >&2; exit 1; }

if [ ${#panel[@]} -gt 0 ]; then
  "${panel[0]}" "${panel[1]}" &
  pids+=($!)
  # The window manager takes the panel's strut off the work area (of the first desktop).
  for _ in $(seq 100); do
    xprop -root _NET_WORKAREA | grep -q "= [0-9]*, [0-9]*, [0-9]*, $((${size#*x} - panel[1]))," && break
    sleep 0.1
  done
fi

QT_QPA_PLATFORM=xcb "$@"
