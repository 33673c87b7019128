#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later

# Runs one cross-built Qt Test suite under Wine and prints its report, which Qt Test under Wine
# writes to a file but not to a redirected standard output:  wine-test.sh <wine64> <suite.exe>
set -uo pipefail
wine=$1
suite=$2
report=$(mktemp /tmp/luvana-wine-test.XXXXXX)
trap 'rm -f "$report"' EXIT
"$wine" "$suite" -o "Z:${report//\//\\},txt"
status=$?
cat "$report"
exit $status
