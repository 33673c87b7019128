#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a C++ source of the repository differs from what clang-format makes of it with the
# project's .clang-format; prints the places.
#
#   tests/format-check.sh SOURCE_DIR
set -euo pipefail
cd "$1"
command -v clang-format >/dev/null \
  || { echo "format-check: clang-format is missing (packaging/setup-debian.sh installs it)" >&2; exit 1; }
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  # New files not yet added count too, so the check fails before the commit, not after.
  mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h')
else
  # An unpacked source archive: every C++ source outside the build trees.
  mapfile -t files < <(find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
fi
[ "${#files[@]}" -gt 0 ] || { echo "format-check: no sources found in $1" >&2; exit 1; }
clang-format --dry-run -Werror "${files[@]}"
