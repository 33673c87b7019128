#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later

# Gathers the terms of every library the Windows version ships, as Debian's source packages
# state them, into the cache's prefix/share/licences/, from which the install step copies those
# of the libraries it bundles (packaging/windows/bundle.cmake):
#   <package>/copyright        Debian's copyright file of the source package;
#   <package>/<licence files>  the upstream licence texts at the top of its source, and for
#                              qt6-base those of the third-party code Qt builds in (FreeType,
#                              HarfBuzz, PCRE2, libjpeg, libpng, zlib, double-conversion...);
#   common-licenses/           the texts that Debian's copyright files only name by their path
#                              on a Debian system (/usr/share/common-licenses/LGPL-2.1...);
#   versions.txt               "package version" for each, for the sources' text.
# The MinGW-w64 runtime (libstdc++, libgcc, winpthreads) is the cross compiler's own: its terms
# come from the Debian packages installed on this machine, at their installed versions.
#
#   packaging/windows/collect-licences.sh [CACHE]     (after build-deps.sh)
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
cache=$(cd "${1:-${LUVANA_WINDOWS_CACHE:-$HOME/.cache/luvana-windows}}" && pwd)
pins=$root/packaging/windows/sources.txt
out=$cache/prefix/share/licences
rm -rf "$out"
mkdir -p "$out/common-licenses"
: >"$out/versions.txt"

# copy_licence_files <source folder> <target folder>: the licence texts at the top of a source
# (COPYING, LICENSE...) and in its LICENSES/ folder, but Qt's commercial terms, which do not
# apply to what Debian distributes.
copy_licence_files() {
    find -H "$1" -maxdepth 2 -type f \( -ipath "$1/COPYING*" -o -ipath "$1/LICEN[CS]E*" \) \
        ! -name 'LicenseRef-Qt-Commercial*' -print0 | while IFS= read -r -d '' file; do
        local relative=${file#"$1"/}
        mkdir -p "$2/$(dirname "$relative")"
        cp "$file" "$2/$relative"
    done
}

for package in qt6-base qt6-multimedia libsndfile libebur128 soundtouch; do
    version=$(awk -v package="$package" '$1 == package { print $2 }' "$pins")
    src=$cache/src/$package-$version
    [ -d "$src" ] || { echo "no source of $package $version: run build-deps.sh first" >&2; exit 1; }
    mkdir -p "$out/$package"
    if [ -f "$src/debian/copyright" ]; then
        cp "$src/debian/copyright" "$out/$package/copyright"
    else
        # Built from the upstream tarball alone (the archive lacks its Debian changes): the
        # copyright file comes from a binary package built from that version.
        binary=$(awk -v package="$package" '$1 == package { print $3 }' "$pins")
        [ -n "$binary" ] ||
            { echo "$package: no debian/copyright, and no binary package in $pins" >&2; exit 1; }
        work=$(mktemp -d)
        (cd "$work" && APT_CONFIG=$cache/apt/apt.conf apt-get download "$binary" >/dev/null &&
            dpkg-deb -x ./*.deb tree)
        cp "$work/tree/usr/share/doc/${binary%%=*}/copyright" "$out/$package/copyright"
        rm -rf "$work"
    fi
    copy_licence_files "$src" "$out/$package"
    echo "$package $version" >>"$out/versions.txt"
done

# The third-party code in Qt's base: each part's own licence and copyright files, as its
# qt_attribution.json names them. The parts for other systems (Android, the browser, X11, Vulkan) are left out.
/usr/bin/python3 - "$cache/src/qt6-base-$(awk '$1 == "qt6-base" { print $2 }' "$pins")" \
    "$out/qt6-base/3rdparty" <<'PY'
import json, pathlib, shutil, sys
src, out = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
other_systems = {"android", "gradle", "wasm", "xcb", "VulkanMemoryAllocator", "forkfd"}
for attribution in sorted(src.glob("src/3rdparty/*/qt_attribution.json")):
    part = attribution.parent
    if part.name in other_systems:
        continue
    entries = json.loads(attribution.read_text(), strict=False)
    for entry in entries if isinstance(entries, list) else [entries]:
        names = str(entry.get("LicenseFile") or "").split() + list(entry.get("LicenseFiles") or [])
        names += [entry["CopyrightFile"]] if entry.get("CopyrightFile") else []
        for name in names:
            licence = part / name
            if licence.is_file():
                target = out / part.name / licence.name
                target.parent.mkdir(parents=True, exist_ok=True)
                shutil.copyfile(licence, target)
PY

# libstdc++ and libgcc come from gcc-mingw-w64, winpthreads from mingw-w64.
for pair in gcc-mingw-w64:gcc-mingw-w64-x86-64-posix-runtime mingw-w64:mingw-w64-common; do
    package=${pair%%:*} binary=${pair#*:}
    mkdir -p "$out/$package"
    cp "/usr/share/doc/$binary/copyright" "$out/$package/copyright"
    echo "$package $(dpkg-query -W -f '${source:Version}' "$binary")" >>"$out/versions.txt"
done

# The common licences the copyright files refer to, under the same names.
grep -rhoE '/usr/share/common-licenses/[A-Za-z0-9.+-]*[A-Za-z0-9+-]' "$out" | sort -u |
    while read -r path; do
        [ -f "$path" ] && cp "$path" "$out/common-licenses/"
    done
echo "Licences in $out"
