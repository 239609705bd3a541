#!/usr/bin/env bash
# The running game measured from outside: starts the real main window (wrapped
# to count its ticks) on a virtual X server, lets it run 20 seconds at level 1,
# brings it to level 50 the way a player can (Esc, "Next level", again and
# again), lets it run 20 seconds more, and reports CPU use, peak memory, ticks
# per second and the time to the first painted frame.
# With SCALE=2 the display scale is 2: the window is twice as many pixels
# each way, and so is what the game draws and the X server shows.
# With SOUND=1 the game plays its sound into a PulseAudio server of the
# script's own (a null sink), whose CPU counts with the game's, and at level
# 50 runs once with it and once more after m has turned it off: the CPU of
# both, the times the sound device ran out of frames, and how long a cue takes
# to be heard at the most (the longest wait for the next top-up, what is kept
# queued, and the sink's latency as PulseAudio reports it); then paused with
# p, with the sound on and off again: what a battle standing still costs.
# With PADS=0 the game takes no game pads' input, SDL's game controller
# subsystem never opened: what reading pads costs when none is connected.
# Usage: [SCALE=N] [SOUND=1] [PADS=0] bench/running.sh BUILD_DIR [RESULT_FILE]
set -euo pipefail

build=${1:?usage: bench/running.sh BUILD_DIR [RESULT_FILE]}
result=${2:-/dev/stdout}
seconds=${RUN_SECONDS:-20}
scale=${SCALE:-1}
counted="$build/bench/quenmar-counted"
work=$(mktemp -d)
sound_server=""
trap 'kill $game $server $sound_server 2>/dev/null || true; rm -rf "$work"' EXIT

if [ -n "${SOUND:-}" ]; then
    mkdir -m 700 "$work/run"
    HOME=$work XDG_RUNTIME_DIR=$work/run pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
        --disallow-exit -L "module-null-sink rate=48000 sink_name=bench" \
        -L "module-native-protocol-unix auth-anonymous=1 socket=$work/sound" >/dev/null 2>&1 &
    sound_server=$!
    export PULSE_SERVER=unix:$work/sound QUENMAR_SOUND=1 XDG_CONFIG_HOME=$work/config
    for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
fi

[ "${PADS:-1}" = 0 ] && export QUENMAR_NO_PADS=1

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 "$((1280 * scale))x$((1024 * scale))x24" -nolisten tcp 2>/dev/null &
server=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"

QT_SCALE_FACTOR=$scale "$counted" "$work/report" 2>/dev/null &
game=$!
for _ in $(seq 100); do [ -s "$work/report" ] && break; sleep 0.1; done
[ -s "$work/report" ] || { echo "running.sh: the game did not start" >&2; exit 1; }

report() { awk -v k="$1" '$1 == k { print $2 }' "$work/report"; }
# CPU time of the game and of the X server that shows it, added up.
cpu_ticks() {
    cat "/proc/$game/stat" "/proc/$server/stat" ${sound_server:+"/proc/$sound_server/stat"} |
        awk '{ t += $14 + $15 } END { print t }'
}
hz=$(getconf CLK_TCK)

# Measures one stretch of play: CPU % of one core and ticks per second.
measure() {
    local cpu0 ticks0 t0 cpu1 ticks1 t1
    sleep 1.5  # let the report catch up
    cpu0=$(cpu_ticks); ticks0=$(report ticks); t0=$(date +%s.%N)
    sleep "$seconds"
    cpu1=$(cpu_ticks); ticks1=$(report ticks); t1=$(date +%s.%N)
    awk -v c="$((cpu1 - cpu0))" -v hz="$hz" -v n="$((ticks1 - ticks0))" -v t0="$t0" -v t1="$t1" \
        -v who="game and X server${sound_server:+ and sound server}" \
        'BEGIN { printf "%.2f %% of one core (%s), %.2f ticks/s", 100 * c / hz / (t1 - t0), who, n / (t1 - t0 - 0) }'
}

level1=$(measure)

# Up to level 50: Esc shows the result window; "Next level" gives up the level.
for _ in $(seq 49); do
    xdotool key Escape
    window=$(xdotool search --sync --onlyvisible --name '^Result$' | head -1)
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove $((X + 188 * scale)) $((Y + 80 * scale)) click 1
    sleep 0.15
done
sleep 1.5
level=$(report level)
[ "$level" = 50 ] || { echo "running.sh: reached level $level, not 50" >&2; exit 1; }
level50=$(measure)

if [ -n "${SOUND:-}" ]; then
    underruns=$(report underruns)
    sink_us=$(pactl list sink-inputs | awk -F': ' '$1 ~ "Sink Latency" { print $2 + 0; exit }')
    xdotool key m
    for _ in $(seq 50); do [ "$(report muted)" = 1 ] && break; sleep 0.1; done
    muted=$(measure)
    xdotool key m key p
    for _ in $(seq 50); do [ "$(report muted)" = 0 ] && break; sleep 0.1; done
    paused=$(measure)
    xdotool key m
    paused_muted=$(measure)
fi

peak_kb=$(awk '/VmHWM/ { print $2 }' "/proc/$game/status")
{
    echo "machine: $(nproc) cores, $(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo)"
    echo "display scale: $scale"
    echo "game pads: $([ "${PADS:-1}" = 0 ] && echo "not read" || echo "read through SDL, none connected")"
    echo "level 1:  $level1"
    echo "level 50: $level50"
    if [ -n "${SOUND:-}" ]; then
        echo "level 50, sound off: $muted"
        echo "paused: $paused"
        echo "paused, sound off: $paused_muted"
        echo "sound device ran out of frames: $underruns times in ${seconds} s at level 50"
        awk -v k="$sink_us" 'BEGIN { printf "cue to sound: at most %.1f ms (the next top-up 5 ms, 25 ms queued, the sink %.1f ms)\n", 30 + k / 1000, k / 1000 }'
    fi
    echo "peak resident memory: $((peak_kb / 1024)) MB"
    echo "launch to first painted frame: $(report first_paint_ms) ms"
} >"$result"
