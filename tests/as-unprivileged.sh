#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a test executable as the unprivileged user nobody, for the cases that permissions must
# stop (a read-only folder) and that skip for an administrator, whom they do not stop. Run as
# root, as in CI, it runs them and fails if they still skip; run by anyone else it skips (exit
# 77), since the ordinary run of the suite already covers them.
#
#   tests/as-unprivileged.sh TEST_EXECUTABLE [TEST_FUNCTION...]
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
  echo "as-unprivileged: not root; the ordinary run covers these cases"
  exit 77
fi
command -v setpriv >/dev/null || { echo "as-unprivileged: setpriv is missing (util-linux)" >&2; exit 1; }

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
chown nobody "$home"
output=$(cd "$home" && HOME="$home" XDG_RUNTIME_DIR= TMPDIR="$home" \
  setpriv --reuid=nobody --regid=nogroup --clear-groups -- "$@" 2>&1) || status=$?
printf '%s\n' "$output"
if grep -q '^SKIP' <<< "$output"; then
  echo "as-unprivileged: a case skipped although nobody cannot write where it should not" >&2
  exit 1
fi
exit "${status:-0}"
