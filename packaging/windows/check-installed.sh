#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later

# Installs the Windows installer silently under Wine, on the X server and sound server of this
# run, and checks the installed program as a pupil and a teacher would meet it:
#   check-installed.sh <installer.exe> <tst_installed.exe> <native tst_installed> <pulse-fixture.sh>
# - the files the installer promises are there, the Start-menu entry runs the installed program,
#   and the program's own window opens;
# - tst_installed, copied beside the installed program, drives its window: every control's
#   rectangle and a teacher's saved dictation must equal what the Linux build makes; the sample
#   opened through Windows' own open dialog, its wav2 must be heard at the sound server's sink;
#   a kept recording is a WAV, a discarded one is never deleted outright;
# - the uninstaller takes away what was installed, and the portable zip, unpacked, runs alone.
# Run by ctest under xvfb-run (label "windows"), with LUVANA_WINE naming wine64 and
# LUVANA_WINDOWS_PREFIX the cross-built libraries.
set -euo pipefail

installer=$1
driver=$2
native_driver=$3
pulse_fixture=$4
wine=${LUVANA_WINE:-/usr/lib/wine/wine64}
wineserver=$(dirname "$wine")/wineserver

work=$(mktemp -d /tmp/luvana-wine.XXXXXX)
trap 'sh "$pulse_fixture" stop "$work/pulse" >/dev/null 2>&1 || true; "$wineserver" -k 2>/dev/null || true; rm -rf "$work"' EXIT
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEPATH

fail() {
    echo "check-installed: $*" >&2
    exit 1
}

[ -f "$installer" ] || fail "no installer $installer (cpack -G NSIS in the Windows build)"

# Wine's own PulseAudio driver plays into the private server's null sink.
CI=1 sh "$pulse_fixture" start "$work/pulse"
export PULSE_SERVER="unix:$work/pulse/runtime/native" XDG_RUNTIME_DIR="$work/pulse/runtime"

"$wine" wineboot --init >/dev/null 2>&1
# The installer hands its work to a process of its own and returns; wait for every one to end.
"$wine" "$installer" /S
"$wineserver" -w
program_dir="$WINEPREFIX/drive_c/Program Files/Luvana"
for file in luvana.exe Uninstall.exe LICENSE.txt qt.conf dictats/tardor.dtd dictats/textos.html \
    guia/guia.md plugins/platforms/qwindows.dll; do
    [ -e "$program_dir/$file" ] || fail "the installer left out $file"
done
ls "$program_dir"/dictats/*.wav >/dev/null || fail "the installer left out the sample clips"
shortcut=$(find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Luvana/Luvana.lnk' | head -n1)
[ -n "$shortcut" ] || fail "no Start-menu entry"
# The entry's target, as the shortcut stores it, in the system's code page.
target=$(grep -a -o 'C:\\[^[:cntrl:]]*\.exe' "$shortcut" | head -n1)
[ "$target" = 'C:\Program Files\Luvana\luvana.exe' ] \
    || fail "the Start-menu entry runs '$target', not the installed luvana.exe"

# Whether the program at $1 opens its window, captioned as on Linux, within 30 seconds.
opens_its_window() {
    "$wine" "$1" &
    local program=$! found=
    for _ in $(seq 1 60); do
        if xwininfo -root -tree 2>/dev/null | grep -q '"Form1"'; then
            found=1
            break
        fi
        sleep 0.5
    done
    "$wineserver" -k
    wait "$program" 2>/dev/null || true
    [ -n "$found" ]
}

opens_its_window "$program_dir/luvana.exe" || fail "the installed luvana.exe showed no window Form1"

# The driver, beside the installed program, on its libraries, sound module and samples.
# The driver, and Qt Test, which the program itself does without.
cp "$driver" "$program_dir/tst_installed.exe"
cp "${LUVANA_WINDOWS_PREFIX:?names the cross-built libraries}/bin/Qt6Test.dll" "$program_dir/"
mkdir -p "$work/windows" "$work/linux"
parec --device=luvana_sink.monitor --format=s16le --rate=48000 --channels=1 \
    --raw "$work/sink.raw" &
capture=$!
# The driver opens the sample through Windows' own open dialog: it shows up untitled, with the
# focus in its file name box, where a pupil would type the sample's path.
(
    for _ in $(seq 1 240); do
        for window in $(xdotool search --onlyvisible --classname tst_installed.exe 2>/dev/null); do
            if [ -z "$(xdotool getwindowname "$window")" ]; then
                xdotool windowfocus --sync "$window"
                xdotool type --delay 20 'C:\Program Files\Luvana\dictats\tardor.dtd'
                xdotool key Return
                exit 0
            fi
        done
        sleep 0.5
    done
) &
answerer=$!
# Qt Test under Wine reports into a file, not to a redirected standard output.
status=0
LUVANA_CHECK_OUT="Z:${work//\//\\}\\windows" "$wine" "$program_dir/tst_installed.exe" \
    -o "Z:${work//\//\\}\\driver.txt,txt" || status=$?
kill "$capture" "$answerer" 2>/dev/null || true
wait "$capture" "$answerer" 2>/dev/null || true
cat "$work/driver.txt"
[ "$status" -eq 0 ] || fail "the installed program's window failed its checks"

LUVANA_CHECK_OUT="$work/linux" QT_QPA_PLATFORM=xcb PULSE_SERVER=unix:/nonexistent \
    "$native_driver" controlsWhereTheLayoutPutsThem teacherSavesADictation

diff -u "$work/linux/rects.txt" "$work/windows/rects.txt" \
    || fail "controls are not where the Linux build puts them"
cmp "$work/linux/teacher.dtd" "$work/windows/teacher.dtd" \
    || fail "the saved dictation differs from the Linux build's"
python3 - "$work/sink.raw" <<'PY' || fail "playing wav2 reached the sink as silence"
import array, sys
samples = array.array('h', open(sys.argv[1], 'rb').read())
loud = sum(1 for s in samples if abs(s) > 2000)
print(f"check-installed: {len(samples) / 48000:.1f} s captured, {loud / 48000:.2f} s of it loud")
sys.exit(0 if loud > 48000 // 4 else 1)
PY
echo "check-installed: discarded clip $(cat "$work/windows/discarded.txt")"

rm "$program_dir/tst_installed.exe" "$program_dir/Qt6Test.dll"
"$wine" "$program_dir/Uninstall.exe" /S _?="C:\\Program Files\\Luvana"
"$wineserver" -w
# The uninstaller may take the folder away too.
remaining=
if [ -d "$program_dir" ]; then
    remaining=$(find "$program_dir" -type f ! -name Uninstall.exe | head -n5)
fi
[ -z "$remaining" ] || fail "the uninstaller left $remaining"

# The portable zip runs on its own, as from a USB stick, with nothing installed.
portable=${installer%.exe}.zip
python3 -m zipfile -e "$portable" "$work/usb"
opens_its_window "$work/usb/$(basename "$portable" .zip)/luvana.exe" \
    || fail "luvana.exe from the portable zip showed no window Form1"
echo "check-installed: passed"
