#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later

# Runs a command as on a desktop where a screen reader runs: inside a D-Bus session of its own
# (dbus-run-session), with the accessibility bus up and its ScreenReaderEnabled set, which is
# what Orca sets and what turns on Qt's AT-SPI bridge.
set -euo pipefail

/usr/libexec/at-spi-bus-launcher &
launcher=$!
trap 'kill "$launcher" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  if dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
      org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q 'boolean true'; then
    break
  fi
  sleep 0.1
done
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
  org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:ScreenReaderEnabled \
  variant:boolean:true >/dev/null
"$@"
