#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later

# Builds Luvana for 64-bit Windows on Debian 12: the installer and the portable zip, named with
# the version, in build/windows/. With --test, then installs the installer under Wine and checks
# it (ctest's "windows" label), and runs the logic suites under Wine.
#
#   bash packaging/windows/build.sh [--test] [--cache DIR]
#
# Run packaging/windows/setup.sh once before (as root); this script never asks for root and
# leaves the machine's apt configuration alone. The libraries Luvana links are built once from
# Debian's source packages, at the versions packaging/windows/sources.txt names, into the cache
# (default ~/.cache/luvana-windows; see build-deps.sh) and reused after that.
set -euo pipefail
cd "$(dirname "$0")/../.."

run_tests=
cache=${LUVANA_WINDOWS_CACHE:-$HOME/.cache/luvana-windows}
while [ $# -gt 0 ]; do
    case "$1" in
    --test) run_tests=1 ;;
    --cache) cache=$2; shift ;;
    *) echo "usage: $0 [--test] [--cache DIR]" >&2; exit 2 ;;
    esac
    shift
done

bash packaging/windows/build-deps.sh "$cache"
bash packaging/windows/collect-licences.sh "$cache"
prefix=$(cd "$cache/prefix" && pwd)
# Times that end up in the program (Qt's resources) and in the installer and the zip (their
# files' times) are the commit's, so that one commit builds the same bytes.
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
export SOURCE_DATE_EPOCH

cmake --preset windows-host
cmake --build --preset windows-host
cmake --preset windows -DLUVANA_WINDOWS_PREFIX="$prefix"
cmake --build --preset windows
(cd build/windows && cpack)
# The zip stores each file's change time (ctime) too, which no one can set: strip-nondeterminism
# rewrites its times as SOURCE_DATE_EPOCH, as Debian's own packaging does.
strip-nondeterminism -T "$SOURCE_DATE_EPOCH" build/windows/luvana-*-windows-x64.zip
ls -l build/windows/luvana-*-windows-x64.exe build/windows/luvana-*-windows-x64.zip
if [ -n "$run_tests" ]; then
    ctest --preset windows
fi
