#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later

# Builds, for the browser (WebAssembly, with Debian's Emscripten 3.1.6), the libraries Luvana
# links: libebur128, SoundTouch, libsndfile, and Qt's base, shader-tools and multimedia modules,
# each from Debian's own source package (apt-get source), static and without threads, configured
# as small as what Luvana uses allows. They go into a cache folder outside the checkout and are
# built again only when a package's version, its options or our patches to it change.
#
#   packaging/wasm/build-deps.sh [CACHE]     (default: $LUVANA_WASM_CACHE, or
#                                             ~/.cache/luvana-wasm)
#
# Run packaging/wasm/setup.sh once before (as root); this script never asks for root. The cache
# then holds:
#   apt/       a private apt configuration that only fetches Debian's sources: its own source list
#              (deb-src entries made from this machine's Debian entries), package lists and state,
#              so the machine's own apt is neither read for versions nor changed;
#   emsdk/     the small stand-in for an Emscripten SDK that Qt's configure asks for (EMSDK);
#   src/       the unpacked sources, with Debian's changes and ours (patches/<package>/) applied;
#   build/     a build folder and a stamp per package;
#   prefix/    the tree that the program's browser build finds its libraries in;
#   versions.txt  which version of each source package was built, and from what.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
patches=$root/packaging/wasm/patches
cache=${1:-${LUVANA_WASM_CACHE:-$HOME/.cache/luvana-wasm}}
mkdir -p "$cache/src" "$cache/build" "$cache/prefix"
cache=$(cd "$cache" && pwd)
prefix=$cache/prefix
jobs=$(nproc)
# The Debian release whose sources are built: Qt 6.4.2 and Emscripten 3.1.6 are bookworm's, and
# so are the host tools (moc, rcc, qsb...) that the cross build runs.
suite=bookworm

# Debian's Emscripten, and what it needs around it:
#  - its CMake toolchain file calls emcc from PATH and finds its own folder through EMSCRIPTEN;
#  - its optimizer runs under Node and needs Debian's acorn (NODE_PATH), else "Cannot find module
#    'acorn'";
#  - Debian's emcc wrappers start the compiler with $EMSDK_PYTHON: Debian's own Python, so that a
#    Python from pyenv or a virtual environment on PATH never runs the compiler.
emscripten=/usr/share/emscripten
toolchain=$emscripten/cmake/Modules/Platform/Emscripten.cmake
export EMSCRIPTEN=$emscripten
export NODE_PATH=/usr/share/nodejs
export EMSDK_PYTHON=/usr/bin/python3
export EMSDK=$cache/emsdk
# pkg-config must see the browser's libraries only, never the machine's.
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig
export PKG_CONFIG_PATH=

for tool in emcc em++ em-config node apt-get dpkg-source patch cmake ninja perl; do
    command -v "$tool" >/dev/null ||
        { echo "$tool is missing: run packaging/wasm/setup.sh first" >&2; exit 1; }
done
for file in "$toolchain" /usr/lib/x86_64-linux-gnu/cmake/Qt6CoreTools \
    /usr/lib/x86_64-linux-gnu/cmake/Qt6ShaderToolsTools; do
    [ -e "$file" ] || { echo "no $file: run packaging/wasm/setup.sh first" >&2; exit 1; }
done

# Qt's configure for the browser (-DQT_QMAKE_TARGET_MKSPEC=wasm-emscripten) insists on an
# Emscripten SDK named by EMSDK: it reads EMSCRIPTEN_ROOT from $EMSDK/.emscripten and runs emcc
# from there to learn its version. Debian installs no SDK, so a stand-in laid out as emsdk is
# (upstream/emscripten) gives it links to Debian's tools. The compiler's own configuration stays
# Debian's (/usr/share/emscripten/.emscripten), which this file does not replace.
emsdk_stand_in() {
    local emroot=$EMSDK/upstream/emscripten
    mkdir -p "$emroot"
    printf '%s\n' "# Stand-in for an Emscripten SDK, for Qt's configure: Debian's Emscripten." \
        "emsdk_path = '$EMSDK'" \
        "EMSCRIPTEN_ROOT = emsdk_path + '/upstream/emscripten'" \
        "LLVM_ROOT = '/usr/bin'" "BINARYEN_ROOT = '/usr'" "NODE_JS = '$(command -v node)'" \
        >"$EMSDK/.emscripten"
    local tool
    for tool in /usr/bin/em*; do
        ln -sfn "$tool" "$emroot/$(basename "$tool")"
    done
    # A program's configure that finds the toolchain through EMSDK gets Debian's file too.
    ln -sfn "$emscripten/cmake" "$emroot/cmake"
}

# What identifies the compiler in the stamps: a newer Emscripten builds everything again.
toolchain_id() {
    echo "$(emcc --version | sed -n 1p) $(sha256sum "$toolchain" | cut -c1-16)"
}

# A private apt configuration (packaging/private-apt.sh): its own lists and state, deb-src
# entries for $suite made from this machine's Debian entries, used through APT_CONFIG, so /etc/apt
# and the machine's package lists stay as they are.
aptdir=$cache/apt
# shellcheck source=packaging/private-apt.sh
source "$root/packaging/private-apt.sh"

# The highest version of a source package in the private lists (bookworm, its updates and its
# security fixes); nothing else is pinned.
source_version() {
    local best= version
    for version in $(apt-cache showsrc --only-source "$1" | awk '/^Version:/ { print $2 }'); do
        if [ -z "$best" ] || dpkg --compare-versions "$version" gt "$best"; then
            best=$version
        fi
    done
    echo "$best"
}

# A short hash of our patches to a package: a changed patch unpacks the source again.
patch_set() {
    local files=("$patches/$1"/*.patch)
    if [ -f "${files[0]}" ]; then
        cat "${files[@]}" | sha256sum | cut -c1-16
    else
        echo none
    fi
}

# Writes "package version origin patches" to versions.txt, replacing the package's older line.
record_version() {
    local file=$cache/versions.txt
    { grep -v "^$1 " "$file" 2>/dev/null || true; echo "$*"; } | sort >"$file.new"
    mv "$file.new" "$file"
}

# unpack <package> <version>: the source with Debian's changes, then ours, in $cache/src.
unpack() {
    local package=$1 version=$2
    local src=$cache/src/$package-$version
    local set
    set=$(patch_set "$package")
    if [ -d "$src" ] && [ "$(cat "$src/.luvana-patches" 2>/dev/null)" != "$set" ]; then
        rm -rf "$src"
    fi
    [ -d "$src" ] && return
    local work=$cache/src/.unpack-$package
    rm -rf "$work" && mkdir -p "$work"
    local origin=debian
    # Where the archive lacks the Debian changes of a version (libebur128 1.2.6-1's answer 404),
    # the upstream tarball it holds for that version is built as it stands, and versions.txt
    # says so. Any other failure (the network, a missing tarball) stops the build instead: a
    # source without Debian's fixes must never be taken for the whole package by chance.
    local log=$cache/src/.apt-get-source-$package.log
    if ! (cd "$work" && apt-get source --only-source "$package=$version") 2>&1 | tee "$log"; then
        local tarball
        tarball=$(find "$work" -maxdepth 1 -name '*.orig.tar.*' | head -n1)
        if [ -z "$tarball" ] || ! grep -Eq 'debian\.tar\.[a-z0-9]+ +404' "$log"; then
            echo "could not fetch the source of $package $version" >&2
            exit 1
        fi
        echo "** $package $version: the archive has no Debian changes for it; building its" \
            "upstream tarball as it stands" >&2
        tar -xf "$tarball" -C "$work"
        origin=upstream-tarball
    fi
    rm -f "$log"
    local dir
    dir=$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -n1)
    local file
    for file in "$patches/$package"/*.patch; do
        [ -f "$file" ] || continue
        echo "-- $package: $(basename "$file")"
        patch -d "$dir" -p1 --forward --batch <"$file"
    done
    echo "$set" >"$dir/.luvana-patches"
    echo "$origin" >"$dir/.luvana-origin"
    mv "$dir" "$src"
    rm -rf "$work"
}

# Configure checks that must run what they compile (Emscripten's own check_type_size takes the
# exit code of a program under Node as the size) run it under Node. Emscripten 3.1.6's glue
# loads the .wasm with fetch() wherever fetch exists, which it does in Node 18 and later, where
# it fails on a file path: the program then ends with code 7, and every type had 7 bytes. So
# Node runs them without its fetch, where it still has the switch for that.
emulator=$(command -v node)
if node --no-experimental-fetch -e 0 2>/dev/null; then
    emulator="$emulator;--no-experimental-fetch"
fi
common=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix"
    -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator")

# build_dep <package> <options...>: unpacks the package's source once and builds it with CMake,
# unless the stamp says this version was already built with these options, this compiler and
# these patches.
build_dep() {
    local package=$1
    shift
    local version
    version=$(source_version "$package")
    [ -n "$version" ] || { echo "no source package $package" >&2; exit 1; }
    local stamp_text
    stamp_text="$version $(printf '%q ' "${common[@]}" "$@") $(toolchain_id) patches $(patch_set "$package")"
    local stamp=$cache/build/$package.stamp
    local src=$cache/src/$package-$version
    if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$stamp_text" ]; then
        echo "== $package $version: up to date"
        return
    fi
    echo "== $package $version ($(date +%T))"
    unpack "$package" "$version"
    # Configured again in the same folder: a changed option rebuilds only what it changes.
    local build=$cache/build/$package
    local started=$SECONDS
    cmake -S "$src" -B "$build" "${common[@]}" "$@"
    echo "-- $package: configured in $((SECONDS - started)) s"
    if [ -n "${only_target:-}" ]; then
        # shellcheck disable=SC2086 # the targets, one word each
        cmake --build "$build" --parallel "$jobs" --target $only_target
        # The top folder's own files (the package's CMake files), then the target's folder.
        cmake -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LOCAL_ONLY=ON \
            -P "$build/cmake_install.cmake"
        cmake -DCMAKE_INSTALL_PREFIX="$prefix" -P "$build/$only_folder/cmake_install.cmake"
    else
        cmake --build "$build" --parallel "$jobs"
        cmake --install "$build"
    fi
    echo "-- $package: built in $((SECONDS - started)) s"
    echo "$stamp_text" >"$stamp"
    record_version "$package" "$version" "$(cat "$src/.luvana-origin")" "$(patch_set "$package")"
}

# Static libraries only: a browser program is one .wasm file.
# WAV is all Luvana reads and writes: no external codec libraries (FLAC, Ogg, Opus, MP3), which
# leaves libsndfile's own formats, WAV among them.
libsndfile_options=(-DBUILD_SHARED_LIBS=OFF -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF
    -DBUILD_TESTING=OFF -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF -DENABLE_CPACK=OFF
    -DINSTALL_MANPAGES=OFF -DENABLE_PACKAGE_CONFIG=ON)
libebur128_options=(-DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON -DENABLE_TESTS=OFF)
# The library alone, for slow speech: no command-line tool, no C wrapper, no OpenMP. Its -Ofast,
# which emcc refuses, is patched to -O3 -ffast-math (patches/soundtouch).
soundtouch_options=(-DBUILD_SHARED_LIBS=OFF -DSOUNDSTRETCH=OFF -DSOUNDTOUCH_DLL=OFF -DOPENMP=OFF)

# Debian's own Qt 6.4 runs the tools that the build of Qt's modules needs (moc, rcc, uic, qsb...).
qt_host=(-DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)

# What Luvana uses of Qt's base, for the browser: Core, Gui, Widgets, Test, Network (Multimedia
# links it, and the browser version fetches its texts and clips with it), the wasm platform
# plugin and the JPEG, GIF and PNG readers. The bundled zlib, libpng, libjpeg, FreeType, HarfBuzz
# and PCRE2 are Debian's source too. Static and without threads: threads in the browser need
# cross-origin isolation from the web server and SharedArrayBuffer, and Luvana needs neither.
# OpenGL stays: the wasm platform plugin of Qt 6.4 composes every window with OpenGL ES 2
# (WebGL), even for a Widgets program. The features a Widgets program does not need are off as
# in the Windows build. Precompiled headers stay off as there too; three includes that Qt's own
# sources miss without them are patched in (patches/qt6-base).
qtbase_options=("${qt_host[@]}" -DQT_QMAKE_TARGET_MKSPEC=wasm-emscripten
    -DBUILD_SHARED_LIBS=OFF -DFEATURE_thread=OFF
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DBUILD_WITH_PCH=OFF
    -DFEATURE_vulkan=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
    -DFEATURE_ssl=OFF -DFEATURE_openssl=OFF -DFEATURE_brotli=OFF -DFEATURE_zstd=OFF
    -DFEATURE_icu=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
    -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_doubleconversion=OFF
    -DFEATURE_jpeg=ON -DFEATURE_gif=ON -DFEATURE_png=ON -DFEATURE_testlib=ON
    -DFEATURE_accessibility=ON)
# Qt Multimedia's build compiles its video shaders with Shader Tools (the qsb tool comes from
# Debian's own Qt on the build machine), though Luvana plays no video.
qtshadertools_options=("${qt_host[@]}" -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    -DBUILD_WITH_PCH=OFF)
# Multimedia for QAudioSink and QAudioSource only, which in the browser are part of the library
# itself (Emscripten's OpenAL on Web Audio): no decoding back end, no QML, no spatial audio. Two
# faults of its recording side are patched (patches/qt6-multimedia).
qtmultimedia_options=("${qt_host[@]}" -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    -DBUILD_WITH_PCH=OFF
    -DFEATURE_ffmpeg=OFF -DFEATURE_gstreamer=OFF -DFEATURE_spatialaudio=OFF
    -DFEATURE_spatialaudio_quick3d=OFF)

emsdk_stand_in
private_apt
# The small libraries first: they take minutes, and prove the compiler before Qt's long build.
build_dep libebur128 "${libebur128_options[@]}"
build_dep soundtouch "${soundtouch_options[@]}"
build_dep libsndfile "${libsndfile_options[@]}"
build_dep qt6-base "${qtbase_options[@]}"
build_dep qt6-shadertools "${qtshadertools_options[@]}"
# The library alone: Luvana needs nothing else of the module. A static library installs its
# resources (the video shaders, which Luvana never uses) as objects of their own beside it.
only_target="Multimedia Multimedia_resources_1 Multimedia_resources_2 Multimedia_resources_3
    Multimedia_resources_4" only_folder=src/multimedia \
    build_dep qt6-multimedia "${qtmultimedia_options[@]}"
echo "Browser libraries in $prefix; versions in $cache/versions.txt"
