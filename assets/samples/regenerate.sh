#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later

# Regenerates the sample dictations' clips and pictures from the .dtd texts and the .svg
# drawings beside this script. The results are committed, so running the program needs none of
# the tools used here: Festival's text2wave with the Catalan Ona voice for the clips (the voice
# of the recorder's "Veu" button), ImageMagick's convert for the GIF (Qt cannot write GIF), and
# the project's own luvana_svgrender for the drawings.
#
#   assets/samples/regenerate.sh [--clips-only] [build-dir]   (default: build/dev, built if
#                                                             needed; --clips-only leaves the
#                                                             pictures as they are)
#
# Clips are named for an empty name box, as the program looks for them: tardor.dtd's item 3 is
# tardor-3.wav. Empty items get no clip. A picture item 1 gets the spoken line given below.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
pictures=yes
if [ "${1:-}" = --clips-only ]; then
  pictures=no
  shift
fi
build="${1:-$repo/build/dev}"

tools=(text2wave iconv)
[ "$pictures" = yes ] && tools+=(convert cmake)
for tool in "${tools[@]}"; do
  command -v "$tool" >/dev/null || { echo "regenerate.sh: $tool is missing" >&2; exit 1; }
done
[ -d /usr/share/festival/voices/catalan/upc_ca_ona_hts ] ||
  { echo "regenerate.sh: the Ona voice is missing (Debian: festvox-ca-ona-hts)" >&2; exit 1; }

if [ "$pictures" = yes ]; then
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug
  fi
  cmake --build "$build" --target luvana_svgrender
  svgrender="$build/packaging/luvana_svgrender"
fi

# What the clip of a picture item 1 says.
declare -A picture_line=(
  [vaixell.jpg]="Mira bé el dibuix del vaixell de vela."
  [jardi.gif]="Mira bé el dibuix del jardí."
)

# Twice the size the window shows item 1 at (409 x 267), for sharp pictures on dense screens.
picture_width=818
picture_height=534

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

speak() { # text, output wav
  # Ona reads ISO-8859-15 and writes 16-bit PCM, mono, 16 kHz; the same text always gives the
  # same bytes.
  printf '%s\n' "$1" | iconv -f UTF-8 -t ISO-8859-15//TRANSLIT |
    text2wave -eval '(voice_upc_ca_ona_hts)' -o "$2"
}

cd "$here"
rm -f ./*.wav
for dtd in *.dtd; do
  base="${dtd%.dtd}"
  # The file is Windows-1252 with CR LF; read it as UTF-8 lines.
  mapfile -t lines < <(iconv -f CP1252 -t UTF-8 "$dtd" | tr -d '\r')

  # Item 1: the lines between the title and the "x" line.
  item1=()
  i=1
  while [ "$i" -lt "${#lines[@]}" ] && [ "${lines[$i]}" != "x" ]; do
    item1+=("${lines[$i]}")
    i=$((i + 1))
  done
  items=("${lines[@]:$((i + 1)):9}")

  if [ "${#item1[@]}" -eq 1 ] && [ -n "${picture_line[${item1[0]}]+set}" ]; then
    picture="${item1[0]}"
    svg="${picture%.*}.svg"
    if [ "$pictures" = yes ]; then
      case "$picture" in
        *.jpg) "$svgrender" "$svg" "$picture_width" "$picture_height" "$picture" ;;
        *.gif)
          "$svgrender" "$svg" "$picture_width" "$picture_height" "$work/picture.png"
          convert "$work/picture.png" -strip "$picture" ;;
        *) echo "regenerate.sh: $dtd: no way to draw $picture" >&2; exit 1 ;;
      esac
    fi
    speak "${picture_line[$picture]}" "$base-1.wav"
  elif [ "${#item1[@]}" -gt 0 ]; then
    speak "${item1[*]}" "$base-1.wav"
  fi

  for k in $(seq 2 10); do
    text="${items[$((k - 2))]:-}"
    [ -n "$text" ] && speak "$text" "$base-$k.wav"
  done
  echo "$dtd: $(ls "$base"-*.wav | wc -l) clips"
done
