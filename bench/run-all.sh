#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later

# Runs every benchmark and prints their rows as one table, each measure with its goal beside it.
#
#   bench/run-all.sh [BENCH_DIR]    BENCH_DIR defaults to build/bench/bench, which
#                                   `cmake --workflow --preset bench` builds
#
# The benchmarks measure against baselines taken in the same run (a bare Qt window, a bare
# sound stream), so the ratios hold on any machine; the absolute times are this machine's.
# Without a display the windows are drawn offscreen. A benchmark that is missing or fails gets
# a row saying so, and the script then exits with 1.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/build/bench/bench}
if [ -z "${QT_QPA_PLATFORM:-}" ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    export QT_QPA_PLATFORM=offscreen
fi

row() { printf '| %-42s | %-40s | %-12s | %-4s |\n' "$1" "$2" "$3" "$4"; }

# In the order of the suite: start-up and memory against a bare window, click to sound, idle
# CPU, loading and the reader's throughput on large files, memory over a long session, the
# recorder's voice and keeping.
benchmarks=(bench_startup bench_clicktosound bench_idle bench_load bench_soak bench_voice)

row "measure" "measured" "goal" "met"
printf '|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..44})" "$(printf -- '-%.0s' {1..42})" \
    "$(printf -- '-%.0s' {1..14})" "$(printf -- '-%.0s' {1..6})"
status=0
log=$(mktemp)
trap 'rm -f "$log"' EXIT
for bench in "${benchmarks[@]}"; do
    if [ ! -x "$dir/$bench" ]; then
        row "$bench" "not built in $dir" "" "MISS"
        status=1
        continue
    fi
    output=$("$dir/$bench" 2> "$log")
    code=$?
    rows=$(grep '^|' <<< "$output")
    if [ $code -ne 0 ] || [ -z "$rows" ]; then
        row "$bench" "failed (exit $code): $(tail -n 1 "$log" | cut -c1-28)" "" "MISS"
        status=1
        continue
    fi
    printf '%s\n' "$rows"
done
echo "(platform: ${QT_QPA_PLATFORM:-desktop}; $(nproc) cores; $(date -u +%Y-%m-%dT%H:%MZ))"
exit $status
