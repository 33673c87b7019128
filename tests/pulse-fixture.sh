#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later

# A private PulseAudio server for the sound tests, so they hear exactly what the program plays
# and never touch the desktop's own sound.
#
#   pulse-fixture.sh start DIR   start a server whose socket is DIR/runtime/native
#   pulse-fixture.sh stop DIR    stop it again
#
# The server has one null sink, "luvana_sink", as the default output, and a source
# "luvana_input" remapped over that sink's monitor as the default input (Qt leaves monitor
# sources out of its list of inputs). Whatever is played can so be recorded again.
#
# An idle null sink's monitor delivers nothing for about a second and a half after a reader
# connects, so a silent stream plays into the sink for as long as the server runs.
#
# Where no server can be started, "start" writes the reason into DIR/unavailable and succeeds,
# so the sound tests skip and say why; under CI (CI set) it fails instead.
set -u

command=${1:-}
dir=${2:-}
if [ -z "$command" ] || [ -z "$dir" ]; then
    echo "usage: $0 start|stop DIR" >&2
    exit 2
fi

runtime="$dir/runtime"
export XDG_RUNTIME_DIR="$runtime"
export HOME="$dir/home"
export PULSE_SERVER="unix:$runtime/native"
unset PULSE_SINK PULSE_SOURCE

unavailable() {
    echo "$1" > "$dir/unavailable"
    echo "pulse-fixture: $1" >&2
    if [ -n "${CI:-}" ]; then
        exit 1
    fi
    exit 0
}

stop_server() {
    if [ -f "$dir/silence.pid" ]; then
        kill "$(cat "$dir/silence.pid")" 2>/dev/null
        rm -f "$dir/silence.pid"
    fi
    if [ -f "$runtime/pulse/pid" ]; then
        pulseaudio --kill 2>/dev/null
        # --kill only signals; wait for the socket to go so a following start gets a clean slate.
        tries=0
        while [ -S "$runtime/native" ] && [ $tries -lt 50 ]; do
            tries=$((tries + 1))
            sleep 0.1
        done
    fi
}

case "$command" in
start)
    stop_server
    rm -rf "$runtime" "$HOME" "$dir/unavailable" "$dir/pulseaudio.log"
    mkdir -p "$runtime" "$HOME"
    chmod 700 "$runtime"

    for tool in pulseaudio pactl pacat; do
        command -v "$tool" > /dev/null || unavailable "$tool is not installed (Debian: pulseaudio, pulseaudio-utils)"
    done

    pulseaudio -n --daemonize=yes --exit-idle-time=-1 --disallow-exit --use-pid-file=yes \
        --log-target=file:"$dir/pulseaudio.log" \
        -L "module-native-protocol-unix socket=$runtime/native auth-anonymous=1" \
        -L "module-null-sink sink_name=luvana_sink rate=48000 channels=2 format=float32le" \
        -L "module-remap-source master=luvana_sink.monitor source_name=luvana_input" \
        || unavailable "pulseaudio would not start (see $dir/pulseaudio.log)"

    tries=0
    until pactl info > /dev/null 2>&1; do
        tries=$((tries + 1))
        [ $tries -lt 100 ] || unavailable "pulseaudio did not answer on $runtime/native"
        sleep 0.1
    done
    pactl set-default-sink luvana_sink || unavailable "could not make luvana_sink the default output"
    pactl set-default-source luvana_input || unavailable "could not make luvana_input the default input"

    pacat --playback --raw --format=s16le --rate=48000 --channels=2 --device=luvana_sink \
        --latency-msec=10 --client-name=luvana-fixture --stream-name=silence < /dev/zero > /dev/null 2>&1 &
    echo $! > "$dir/silence.pid"
    tries=0
    until [ -n "$(pactl list short sink-inputs 2> /dev/null)" ]; do
        tries=$((tries + 1))
        [ $tries -lt 100 ] || unavailable "the silent stream did not start playing"
        sleep 0.05
    done

    rm -f "$dir/unavailable"
    echo "pulse-fixture: server on $PULSE_SERVER"
    ;;
stop)
    stop_server
    ;;
*)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
