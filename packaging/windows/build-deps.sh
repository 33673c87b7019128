#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later

# Cross-builds, for 64-bit Windows, the libraries Luvana links: Qt's base, shader-tools and
# multimedia modules, libsndfile, libebur128 and SoundTouch, each from Debian's own source
# package (apt-get source) at the version packaging/windows/sources.txt names, configured as
# small as what Luvana uses allows. They go into a cache folder outside the checkout and are
# built again only when a package's version or its options change.
#
#   packaging/windows/build-deps.sh [CACHE]     (default: $LUVANA_WINDOWS_CACHE, or
#                                                ~/.cache/luvana-windows)
#
# Run packaging/windows/setup.sh once before (as root); this script never asks for root. The
# cache then holds:
#   apt/       a private apt configuration (packaging/private-apt.sh), so that the machine's own
#              apt is neither read for versions nor changed;
#   src/       the unpacked sources;
#   build/     a build folder and a stamp per package;
#   prefix/    the tree that the program's cross build finds its libraries in, with each
#              package's copyright file and licence texts in share/licences/<package>/.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
cache=${1:-${LUVANA_WINDOWS_CACHE:-$HOME/.cache/luvana-windows}}
mkdir -p "$cache/src" "$cache/build" "$cache/prefix"
cache=$(cd "$cache" && pwd)
prefix=$cache/prefix
toolchain=$root/cmake/mingw-w64.cmake
pins=$root/packaging/windows/sources.txt
jobs=$(nproc)
export LUVANA_WINDOWS_PREFIX=$prefix
# Qt 6.4.2 is bookworm's, and so are the host tools (moc, rcc, qsb...) that the cross build runs.
suite=bookworm

for tool in x86_64-w64-mingw32-g++-posix apt-get dpkg-source cmake ninja perl; do
    command -v "$tool" >/dev/null ||
        { echo "$tool is missing: run packaging/windows/setup.sh first (as root)" >&2; exit 1; }
done
[ -e /usr/lib/x86_64-linux-gnu/cmake/Qt6ShaderToolsTools ] ||
    { echo "no Qt shader tools: run packaging/windows/setup.sh first (as root)" >&2; exit 1; }

# Debian's own Qt 6.4 runs the tools that the build of Qt's modules needs (moc, rcc, uic...).
qt_host=(-DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake)
# No link time in the DLLs' headers: the same sources give the same bytes (the installer's
# reproducibility starts here).
no_time=-Wl,--no-insert-timestamp
common=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix"
    -DCMAKE_SHARED_LINKER_FLAGS="$no_time" -DCMAKE_MODULE_LINKER_FLAGS="$no_time"
    -DCMAKE_EXE_LINKER_FLAGS="$no_time")

# What Luvana uses of Qt's base: Core, Gui, Widgets, Test, the Windows platform plugin and the
# JPEG and GIF readers, with Network because Multimedia links it. The bundled zlib, libpng,
# libjpeg, FreeType, HarfBuzz and PCRE2 are Debian's source too. Debian's source leaves out the
# Wintab header that tablet events need, and without OpenGL there is no dynamic GL to choose.
# Without Direct2D, Gui leaves out the DirectWrite 3 font database that the Windows plugin
# would still ask for, so that goes too: fonts come through GDI, as they did in Qt 5.
qtbase_options=("${qt_host[@]}"
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DBUILD_WITH_PCH=OFF
    -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_tabletevent=OFF
    -DFEATURE_vulkan=OFF -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
    -DFEATURE_ssl=OFF -DFEATURE_openssl=OFF -DFEATURE_schannel=OFF -DFEATURE_brotli=OFF -DFEATURE_zstd=OFF
    -DFEATURE_icu=OFF -DFEATURE_sql_sqlite=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
    -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_doubleconversion=OFF
    -DFEATURE_jpeg=ON -DFEATURE_gif=ON -DFEATURE_png=ON -DFEATURE_testlib=ON
    -DFEATURE_accessibility=ON)
# Qt Multimedia's build compiles its video shaders with Shader Tools (the qsb tool comes from
# Debian's own Qt on the build machine), though Luvana plays no video.
qtshadertools_options=("${qt_host[@]}" -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
    -DBUILD_WITH_PCH=OFF)
# Multimedia for QAudioSink and QAudioSource only: no decoding back end, no QML. Its Windows
# audio needs Media Foundation, whose MinGW-w64 libraries are named in lower case where Qt
# looks for Mf, Mfplat...
# Its sources also name a few Windows headers with capitals that MinGW-w64's are without, which
# only matters where file names have a case: a folder of links gives them both spellings.
mingw_lib=/usr/x86_64-w64-mingw32/lib
mingw_case=$cache/build/mingw-case
mkdir -p "$mingw_case"
for header in Dbt Functiondiscoverykeys_devpkey InitGuid Mferror Mfidl Mfreadwrite Wmcodecdsp; do
    lower=$(echo "$header" | tr '[:upper:]' '[:lower:]')
    ln -sf "/usr/x86_64-w64-mingw32/include/$lower.h" "$mingw_case/$header.h"
done
ln -sf "$prefix/include/QtCore/qurl.h" "$mingw_case/QUrl.h"
qtmultimedia_options=("${qt_host[@]}" -DCMAKE_CXX_FLAGS="-I$mingw_case"
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DBUILD_WITH_PCH=OFF
    -DFEATURE_ffmpeg=OFF -DFEATURE_gstreamer=OFF -DFEATURE_spatialaudio=OFF
    -DFEATURE_spatialaudio_quick3d=OFF
    -DWMF_MF_LIBRARY=$mingw_lib/libmf.a -DWMF_MFUUID_LIBRARY=$mingw_lib/libmfuuid.a
    -DWMF_MFPLAT_LIBRARY=$mingw_lib/libmfplat.a -DWMF_MFCORE_LIBRARY=$mingw_lib/libmfcore.a
    -DWMF_PROPSYS_LIBRARY=$mingw_lib/libpropsys.a)
# WAV is all Luvana reads and writes.
libsndfile_options=(-DBUILD_SHARED_LIBS=ON -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF
    -DBUILD_TESTING=OFF -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF -DENABLE_CPACK=OFF
    -DINSTALL_MANPAGES=OFF -DENABLE_PACKAGE_CONFIG=ON)
libebur128_options=(-DBUILD_SHARED_LIBS=ON -DBUILD_STATIC_LIBS=OFF -DENABLE_TESTS=OFF)
# The library alone, for slow speech: no command-line tool, no C wrapper, no OpenMP runtime.
soundtouch_options=(-DBUILD_SHARED_LIBS=ON -DSOUNDSTRETCH=OFF -DSOUNDTOUCH_DLL=OFF -DOPENMP=OFF)

aptdir=$cache/apt
# The eSpeak NG header comes from a binary package, so binary lists are fetched as well.
private_apt_types="deb deb-src"
# shellcheck source=packaging/private-apt.sh
source "$root/packaging/private-apt.sh"

# The version sources.txt pins for a package; a newer one in the archive is only reported.
source_version() {
    local version
    version=$(awk -v package="$1" '$1 == package { print $2 }' "$pins")
    [ -n "$version" ] || { echo "$1 has no version in $pins" >&2; exit 1; }
    local newest
    newest=$(apt-cache showsrc --only-source "$1" 2>/dev/null | awk '/^Version:/ { print $2 }' |
        sort -V | tail -n1)
    if [ -n "$newest" ] && dpkg --compare-versions "$newest" gt "$version"; then
        echo "** $1: the archive has $newest; building $version, which $pins names" >&2
    fi
    echo "$version"
}

# build_dep <package> <options...>: unpacks the package's source once and builds it with
# CMake, unless the stamp says this version was already built with these options.
build_dep() {
    local package=$1
    shift
    local version
    version=$(source_version "$package")
    [ -n "$version" ] || { echo "no source package $package" >&2; exit 1; }
    local stamp_text
    stamp_text="$version $(printf '%q ' "${common[@]}" "$@") $(sha256sum "$toolchain" | cut -c1-16)"
    local stamp=$cache/build/$package.stamp
    if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$stamp_text" ]; then
        echo "== $package $version: up to date"
        return
    fi
    echo "== $package $version ($(date +%T))"
    local src=$cache/src/$package-$version
    if [ ! -d "$src" ]; then
        local unpack=$cache/src/.unpack-$package
        rm -rf "$unpack" && mkdir -p "$unpack"
        # Where the archive lacks the Debian changes of a version (libebur128 1.2.6-1's answer
        # 404), the upstream tarball it holds for that version is built as it stands. Any other
        # failure (the network, a version no longer in the archive) stops the build.
        local log=$cache/src/.apt-get-source-$package.log
        if ! (cd "$unpack" && apt-get source --only-source "$package=$version") 2>&1 | tee "$log"; then
            local tarball
            tarball=$(find "$unpack" -maxdepth 1 -name '*.orig.tar.*' | head -n1)
            if [ -z "$tarball" ] || ! grep -Eq 'debian\.tar\.[a-z0-9]+ +404' "$log"; then
                echo "could not fetch the source of $package $version" >&2
                exit 1
            fi
            tar -xf "$tarball" -C "$unpack"
        fi
        rm -f "$log"
        local dir
        dir=$(find "$unpack" -mindepth 1 -maxdepth 1 -type d | head -n1)
        mv "$dir" "$src"
        rm -rf "$unpack"
    fi
    # Times that end up in the libraries (Qt's resources) are the package's own, as when Debian
    # builds it: its changelog's last entry, or the upstream tarball's own time without one.
    if [ -f "$src/debian/changelog" ]; then
        SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l "$src/debian/changelog" -STimestamp)
    else
        SOURCE_DATE_EPOCH=$(stat -c %Y "$src")
    fi
    export SOURCE_DATE_EPOCH
    # Configured again in the same folder: a changed option rebuilds only what it changes.
    local build=$cache/build/$package
    local started=$SECONDS
    cmake -S "$src" -B "$build" "${common[@]}" "$@"
    if [ -n "${only_target:-}" ]; then
        cmake --build "$build" --parallel "$jobs" --target "$only_target"
        # The top folder's own files (the package's dependencies), then the target's folder.
        cmake -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LOCAL_ONLY=ON \
            -P "$build/cmake_install.cmake"
        cmake -DCMAKE_INSTALL_PREFIX="$prefix" -P "$build/$only_folder/cmake_install.cmake"
    else
        cmake --build "$build" --parallel "$jobs"
        cmake --install "$build"
    fi
    echo "-- $package: built in $((SECONDS - started)) s"
    echo "$stamp_text" >"$stamp"
}

# eSpeak NG's header only, from its Debian development package: the voice code is compiled
# against it and opens the library by name when it is there. The archive has no source tarball
# of eSpeak NG 1.51 to build the library itself from (apt-get source answers 404), so the
# Windows version ships without it and its "Veu" button says why it is off.
espeak_header() {
    local version
    version=$(source_version libespeak-ng-dev)
    local stamp=$cache/build/espeak-header.stamp
    if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$version" ]; then
        echo "== libespeak-ng-dev $version (header): up to date"
        return
    fi
    local unpack=$cache/build/espeak-header
    rm -rf "$unpack" && mkdir -p "$unpack"
    (cd "$unpack" && apt-get download "libespeak-ng-dev=$version" && dpkg-deb -x ./*.deb tree)
    mkdir -p "$prefix/include/espeak-ng" "$prefix/lib/pkgconfig"
    cp "$unpack"/tree/usr/include/espeak-ng/*.h "$prefix/include/espeak-ng/"
    printf 'prefix=%s\nincludedir=${prefix}/include\n\nName: espeak-ng\nDescription: header only\nVersion: %s\nCflags: -I${includedir}\n' \
        "$prefix" "$version" >"$prefix/lib/pkgconfig/espeak-ng.pc"
    echo "$version" >"$stamp"
}

private_apt
espeak_header
# The small libraries first: they take minutes, and prove the compiler before Qt's long build.
build_dep libebur128 "${libebur128_options[@]}"
build_dep soundtouch "${soundtouch_options[@]}"
build_dep libsndfile "${libsndfile_options[@]}"
build_dep qt6-base "${qtbase_options[@]}"
build_dep qt6-shadertools "${qtshadertools_options[@]}"
# The library alone: its media plugins decode and capture media, which Luvana does not do, and
# need Qt Concurrent besides.
only_target=Multimedia only_folder=src/multimedia build_dep qt6-multimedia "${qtmultimedia_options[@]}"
echo "Windows libraries in $prefix"
