#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later

# Installs the Windows installer silently under Wine, on the X server and sound server of this
# run, and checks the installed program as a pupil and a teacher would meet it:
#   check-installed.sh <installer.exe> <tst_installed.exe> <native tst_installed> <pulse-fixture.sh>
# - the files the installer promises are there, the Start-menu entry runs the installed program,
#   and the program's own window opens, on a dictation named on its command line too;
# - every library shipped has its row in licences.txt and its licence in llicencies\, the guide
#   is the Windows one, and what an admin reads (version information, uninstall entry) is there;
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
# The microphone hears a tone, since a silent take is not kept: a sine into a sink of its own,
# whose monitor is the default input, so the sink the program plays into still carries only
# what it plays.
pactl load-module module-null-sink sink_name=luvana_mic rate=48000 channels=1 >/dev/null
pactl load-module module-sine sink=luvana_mic frequency=440 >/dev/null
pactl load-module module-remap-source master=luvana_mic.monitor source_name=luvana_mic_input >/dev/null
pactl set-default-source luvana_mic_input

"$wine" wineboot --init >/dev/null 2>&1
# The installer hands its work to a process of its own and returns; wait for every one to end.
"$wine" "$installer" /S
"$wineserver" -w
program_dir="$WINEPREFIX/drive_c/Program Files/Luvana"
for file in luvana.exe Uninstall.exe LICENSE.txt qt.conf dictats/tardor.dtd dictats/textos.html \
    guia/guia.html guia/img/inici.png llicencies/LLEGIU-ME.txt llicencies/common-licenses/LGPL-2.1 \
    plugins/platforms/qwindows.dll; do
    [ -e "$program_dir/$file" ] || fail "the installer left out $file"
done
ls "$program_dir"/dictats/*.wav >/dev/null || fail "the installer left out the sample clips"
shortcut=$(find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Luvana/Luvana.lnk' | head -n1)
[ -n "$shortcut" ] || fail "no Start-menu entry"
# The entry's target, as the shortcut stores it, in the system's code page.
target=$(grep -a -o 'C:\\[^[:cntrl:]]*\.exe' "$shortcut" | head -n1)
[ "$target" = 'C:\Program Files\Luvana\luvana.exe' ] \
    || fail "the Start-menu entry runs '$target', not the installed luvana.exe"
[ -n "$(find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Luvana/Guia de Luvana.lnk')" ] \
    || fail "no Start-menu entry for the guide"
! grep -E -q '/usr/share|man luvana|festvox' "$program_dir/guia/guia.html" \
    || fail "the guide for Windows names Linux's paths or packages"

# Each library shipped, the program's own modules and Qt's plugins included, with its row in the
# licence table and its package's copyright file beside it: a new library without its licence
# fails here.
licences=$(dirname "$0")/licences.txt
while IFS= read -r -d '' dll; do
    name=$(basename "$dll")
    package=$(awk -v name="$name" '$1 == name { print $2 }' "$licences")
    [ -n "$package" ] || fail "$name ships without its row in licences.txt"
    [ "$package" = luvana ] || [ -s "$program_dir/llicencies/$package/copyright" ] \
        || fail "$name ships without llicencies/$package/copyright"
    grep -q "^$name	" "$program_dir/llicencies/LLEGIU-ME.txt" \
        || fail "LLEGIU-ME.txt does not list $name"
done < <(find "$program_dir" -iname '*.dll' -print0)

# What an admin reads: the program's version (1.0.0) and manifest, and the uninstall entry.
python3 - "$program_dir/luvana.exe" <<'PY' || fail "luvana.exe lacks its version 1.0.0 or its manifest"
import sys
data = open(sys.argv[1], 'rb').read()
version = data.find('ProductVersion'.encode('utf-16-le'))
sys.exit(0 if version > 0 and '1.0.0'.encode('utf-16-le') in data[version:version + 64]
         and b'longPathAware' in data else 1)
PY
uninstall_entry=$("$wine" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Luvana' 2>/dev/null | tr -d '\r')
for value in QuietUninstallString EstimatedSize DisplayVersion HelpLink; do
    grep -q "$value" <<<"$uninstall_entry" || fail "the uninstall entry has no $value"
done
grep -q 'example' <<<"$uninstall_entry" && fail "the uninstall entry links a placeholder address"
"$wine" reg query 'HKLM\Software\Classes\Luvana.Dictat\shell\open\command' >/dev/null 2>&1 \
    || fail "a .dtd does not open in Luvana"

# Whether the program at $1, given the file $2 if any, opens its window captioned $3 (by default
# "Form1", as on Linux) within 30 seconds.
opens_its_window() {
    "$wine" "$1" ${2:+"$2"} &
    local program=$! found=
    for _ in $(seq 1 60); do
        if xwininfo -root -tree 2>/dev/null | grep -q "\"${3:-Form1}\""; then
            found=1
            break
        fi
        sleep 0.5
    done
    # What was there instead, for the log: the caption is where the program reports a failure.
    [ -n "$found" ] || xwininfo -root -tree 2>/dev/null | grep -o '"[^"]*"' | sort -u >&2
    "$wineserver" -k
    wait "$program" 2>/dev/null || true
    [ -n "$found" ]
}

opens_its_window "$program_dir/luvana.exe" || fail "the installed luvana.exe showed no window Form1"
# A dictation named on the command line (a double click in Explorer) opens: the caption of a
# dictation just opened is "Luvana".
opens_its_window "$program_dir/luvana.exe" 'C:\Program Files\Luvana\dictats\tardor.dtd' Luvana \
    || fail "luvana.exe tardor.dtd did not open the dictation"

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
# A USB stick, which has no Recycle Bin: drive U:, removable for Wine.
mkdir -p "$work/stick"
ln -sfn "$work/stick" "$WINEPREFIX/dosdevices/u:"
"$wine" reg add 'HKLM\Software\Wine\Drives' /v u: /d floppy /f >/dev/null 2>&1
"$wineserver" -w
# Qt Test under Wine reports into a file, not to a redirected standard output.
status=0
LUVANA_CHECK_STICK="U:\\" LUVANA_CHECK_OUT="Z:${work//\//\\}\\windows" "$wine" "$program_dir/tst_installed.exe" \
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
