#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later

# Builds the Debian package from a configured and built tree, installs it the way a school's
# administrator would (apt-get install ./luvana_*.deb), checks what the desktop sees of it, and
# removes it again so the machine is left as it was. Before that, lintian judges the package as a
# distribution would.
#
#   packaging/check-deb.sh <build-dir>
#
# Exits 77 (a skip for ctest) when it cannot install packages: not root, no apt-get, or a luvana
# package that it did not install is already there.
set -euo pipefail

build="$(cd "${1:?usage: check-deb.sh <build-dir>}" && pwd)"
skip() { echo "check-deb: skipped: $*"; exit 77; }

[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
command -v apt-get >/dev/null && command -v dpkg-deb >/dev/null || skip "not a Debian system"
for tool in desktop-file-validate appstreamcli lintian dpkg-parsechangelog; do
  command -v "$tool" >/dev/null || { echo "check-deb: $tool is missing (packaging/setup-debian.sh installs it)" >&2; exit 1; }
done

# Two builds on one machine must not install and remove the package under each other.
exec 9>/run/lock/luvana-check-deb.lock
flock 9
if dpkg-query -W -f='${Status}' luvana 2>/dev/null | grep -q "install ok installed"; then
  skip "a luvana package is already installed; not touching it"
fi

work="$(mktemp -d)"
installed=no
cleanup() {
  if [ "$installed" = yes ]; then
    apt-get remove -y -q -o DPkg::Lock::Timeout=300 luvana >/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
check() { # description, command...
  local what="$1"
  shift
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAILED: $what" >&2
    failures=$((failures + 1))
  fi
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; exit 1; }
deb="$(echo "$work"/luvana_*.deb)"
[ -f "$deb" ] || { echo "check-deb: cpack made no luvana_*.deb" >&2; exit 1; }
depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
for package in libqt6widgets6 libqt6svg6 libpulse0 libsndfile1 qt6-translations-l10n \
  fonts-liberation fonts-comic-neue fonts-dejavu-core; do
  check "depends on $package" grep -q "\(^\|, \)$package\b" <<<"$depends"
done

# What a distribution's own check says of it: no error and no warning. A warning the package
# accepts is overridden in the package itself, with its reason beside it.
check "lintian finds no error or warning" lintian --fail-on error,warning "$deb"
dpkg-deb -x "$deb" "$work/root"
doc="$work/root/usr/share/doc/luvana"
check "the copyright file is machine-readable" \
  grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$doc/copyright"
check "changelog.gz starts at the package's version" bash -c \
  '[ "$(zcat "$1" | dpkg-parsechangelog -l - -S Version)" = "$2" ]' - \
  "$doc/changelog.gz" "$(dpkg-deb -f "$deb" Version)"
for page in man1/luvana.1.gz ca/man1/luvana.1.gz; do
  check "manual page $page" test -s "$work/root/usr/share/man/$page"
done

export DEBIAN_FRONTEND=noninteractive
installed=yes
apt-get install -y -q --no-install-recommends -o DPkg::Lock::Timeout=300 "$deb" >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log" >&2; exit 1; }

check "luvana is on PATH" command -v luvana
check "every library luvana needs is found" bash -c '! ldd "$(command -v luvana)" | grep -q "not found"'
# Sound comes from a module loaded on the first sound command, not with the program.
module="$(dpkg -L luvana | grep '/libluvana_audio\.so$' || true)"
check "the sound module is installed" test -f "$module"
check "every library the sound module needs is found" bash -c '! ldd "$1" | grep -q "not found"' - "$module"
check "luvana itself links no sound library" \
  bash -c '! ldd "$(command -v luvana)" | grep -Eq "libQt6Multimedia|libpulse|libsndfile"'
# It starts and keeps its window open until stopped: timeout's 124, not a crash or an exit.
check "luvana starts and stays open" bash -c 'QT_QPA_PLATFORM=offscreen timeout 5 luvana >/dev/null 2>&1; [ $? -eq 124 ]'
check "the desktop entry is valid" desktop-file-validate /usr/share/applications/org.example.luvana.desktop
check "the metainfo is valid" appstreamcli validate --no-net \
  /usr/share/metainfo/org.example.luvana.metainfo.xml
check "*.dtd has its own MIME type" test -f /usr/share/mime/application/x-luvana-dictation.xml
for size in 16 32 48 64 128 256; do
  check "icon at ${size}x${size}" test -s "/usr/share/icons/hicolor/${size}x${size}/apps/org.example.luvana.png"
done
check "scalable icon" test -s /usr/share/icons/hicolor/scalable/apps/org.example.luvana.svg

samples=/usr/share/luvana/dictats
check "the page of dictation texts" test -s "$samples/textos.html"
for source in "$(dirname "$0")"/../assets/samples/*.{dtd,wav,jpg,gif}; do
  check "sample $(basename "$source")" cmp -s "$source" "$samples/$(basename "$source")"
done

if [ "$failures" -ne 0 ]; then
  echo "check-deb: $failures check(s) failed" >&2
  exit 1
fi
echo "check-deb: the package installs and integrates cleanly"
