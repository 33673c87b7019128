#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later

# Builds the Windows installer and zip twice from the same commit and cache, the second time in
# a fresh build folder, and fails unless both come out byte for byte the same. Prints their sizes.
#
#   bash packaging/windows/check-reproducible.sh [--cache DIR]
set -euo pipefail
cd "$(dirname "$0")/../.."

first=$(mktemp -d /tmp/luvana-reproducible.XXXXXX)
trap 'rm -rf "$first"' EXIT
bash packaging/windows/build.sh "$@"
cp build/windows/luvana-*-windows-x64.exe build/windows/luvana-*-windows-x64.zip "$first/"
rm -rf build/windows
bash packaging/windows/build.sh "$@"

status=0
for file in "$first"/*; do
    name=$(basename "$file")
    if cmp -s "$file" "build/windows/$name"; then
        echo "check-reproducible: $name is the same both times ($(stat -c %s "$file") bytes)"
    else
        echo "check-reproducible: $name differs between the two builds" >&2
        status=1
    fi
done
exit $status
