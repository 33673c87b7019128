#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later

# Fails when a source file (C++, CMake, shell, Python, or any script with a shebang) does not
# name its licence with an SPDX identifier in its first three lines, so that no file reaches
# main without one. The files are git's: those committed and those not yet added (but not
# ignored), so a new file is caught before its first commit.
#
#   packaging/check-spdx.sh <source-dir>
#
# Exits 77 (a skip for ctest) outside a git checkout, where there is no list of the project's
# own files to go by.
set -euo pipefail

cd "${1:?usage: check-spdx.sh <source-dir>}"
# Only lists files, so a checkout owned by another user (CI's, a container's) is fine to read.
git() { command git -c safe.directory="$PWD" "$@"; }
git rev-parse --is-inside-work-tree >/dev/null 2>&1 ||
  { echo "check-spdx: skipped: not a git checkout"; exit 77; }

missing=0
while IFS= read -r -d '' file; do
  [ -f "$file" ] || continue # deleted but not yet committed
  case "$file" in
    *.cpp | *.cc | *.c | *.h | *.hpp | *.mm | *.cmake | CMakeLists.txt | */CMakeLists.txt | \
      *.sh | *.py) ;;
    *) [ "$(head -c 2 "$file" | tr -d '\0')" = '#!' ] || continue ;;
  esac
  # Without -q, grep reads all three lines: head never meets a closed pipe under pipefail.
  if ! head -n 3 "$file" | grep -E 'SPDX-License-Identifier: [A-Za-z0-9.+-]+' >/dev/null; then
    echo "$file: no SPDX-License-Identifier line in its first three lines" >&2
    missing=$((missing + 1))
  fi
done < <(git ls-files -z --cached --others --exclude-standard)

if [ "$missing" -ne 0 ]; then
  echo "check-spdx: $missing file(s) without a licence identifier; start each with" >&2
  echo "  // SPDX-License-Identifier: GPL-3.0-or-later   (C++)" >&2
  echo "  # SPDX-License-Identifier: GPL-3.0-or-later    (CMake, shell, Python; after #!)" >&2
  exit 1
fi
echo "check-spdx: every source file names its licence"
