#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later

# Builds Luvana for the browser (WebAssembly) on Debian 12, into build/browser/site/: the page
# luvana.html, its loader, the program (.js and .wasm) and the sample dictations in dictats/,
# for any static web server. With --test, then runs the browser's tests (ctest's "browser"
# label): the logic suites under Node, and the page in headless Chromium.
#
#   bash packaging/wasm/build.sh [--test] [--cache DIR]
#
# The libraries are built once from Debian's source packages into the cache (default
# ~/.cache/luvana-wasm; see build-deps.sh) and reused after that. setup.sh installs, once, what
# the build needs from Debian (it asks for sudo when not run as root).
set -euo pipefail
cd "$(dirname "$0")/../.."

run_tests=
cache=${LUVANA_WASM_CACHE:-$HOME/.cache/luvana-wasm}
while [ $# -gt 0 ]; do
    case "$1" in
    --test) run_tests=1 ;;
    --cache) cache=$2; shift ;;
    *) echo "usage: $0 [--test] [--cache DIR]" >&2; exit 2 ;;
    esac
    shift
done

bash packaging/wasm/setup.sh
bash packaging/wasm/build-deps.sh "$cache"

# The tools that run during the build (the artwork renderer, the page of texts) and the page
# check's desktop side come from a native build of the same sources.
cmake --preset browser-host
cmake --build --preset browser-host

# As build-deps.sh sets them: Debian's Emscripten and what runs it, the cache's stand-in SDK, and
# pkg-config seeing the browser's libraries only.
export LUVANA_WASM_PREFIX EMSDK
LUVANA_WASM_PREFIX=$(cd "$cache/prefix" && pwd)
EMSDK=$(cd "$cache/emsdk" && pwd)
export EMSCRIPTEN=/usr/share/emscripten NODE_PATH=/usr/share/nodejs EMSDK_PYTHON=/usr/bin/python3
export PKG_CONFIG_LIBDIR=$LUVANA_WASM_PREFIX/lib/pkgconfig PKG_CONFIG_PATH=
cmake --preset browser
cmake --build --preset browser
du -sh build/browser/site
if [ -n "$run_tests" ]; then
    ctest --preset browser
fi
