#!/usr/bin/env bash
# The browser build beside the native one on this machine: the level-50
# period in WebAssembly under node against the native one (quenmar-sim
# fighting the same battle, the CPU of 20 000 periods at level 50: the
# difference between a long and a short run, best of three), and the CPU of
# the page playing level 50 in headless Chromium against the desktop game on
# Xvfb (bench/page_running.js, bench/running.sh); the page against its floor,
# a page that only puts a field-sized picture on a canvas 40 times a second;
# what keeping its battle costs it; its sound: its CPU against the sound
# turned off, its gaps and its latency; and how long it takes to bring back a
# fifteen-minute level-50 battle (bench/replay_bench.cpp's).
# Usage: bench/web.sh BUILD_DIR BUILD_WEB_DIR [RESULT_FILE]
set -euo pipefail

build=${1:?usage: bench/web.sh BUILD_DIR BUILD_WEB_DIR [RESULT_FILE]}
web=${2:?usage: bench/web.sh BUILD_DIR BUILD_WEB_DIR [RESULT_FILE]}
result=${3:-/dev/stdout}
here=$(dirname "$0")
script="$here/../tools/scripts/to-level-50.txt"

# CPU seconds (user and system) of quenmar-sim fighting PERIODS periods, best of three.
cpu_seconds() {
    local periods=$1 best="" took
    shift
    for _ in 1 2 3; do
        took=$( { TIMEFORMAT='%3U %3S'; time "$@" --seed 3 --periods "$periods" --input "$script" >/dev/null; } 2>&1 |
                awk '{ print $1 + $2 }')
        best=$(awk -v a="$took" -v b="${best:-$took}" 'BEGIN { print (a < b ? a : b) }')
    done
    echo "$best"
}
# Microseconds of one level-50 period.
period_us() {
    local short long
    short=$(cpu_seconds 2000 "$@")
    long=$(cpu_seconds 22000 "$@")
    awk -v s="$short" -v l="$long" 'BEGIN { printf "%.1f", (l - s) * 1e6 / 20000 }'
}
native=$(period_us "$build/quenmar-sim")
wasm=$(period_us node "$web/quenmar-sim.js")

desktop=$(RUN_SECONDS=${RUN_SECONDS:-20} "$here/running.sh" "$build" | awk -F': *' '/^level 50:/ { print $2 }')
kept=$(mktemp)
trap 'rm -f "$kept"' EXIT
"$build/bench/replay_bench" --kept "$kept"
page_said=$(NODE_PATH=/usr/share/nodejs node "$here/page_running.js" "$web" "$kept")
page=$(echo "$page_said" | awk -F': *' '/^level 50:/ { print $2 }')
ratio() { awk -v a="${1%% *}" -v b="${2%% *}" 'BEGIN { printf "%.2f", a / b }'; }
{
    echo "machine: $(nproc) cores, $(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo)"
    echo "level-50 period, native:           $native us"
    echo "level-50 period, wasm under node:  $wasm us ($(ratio "$wasm" "$native") x native)"
    echo "desktop game on Xvfb, level 50:    $desktop"
    echo "page in headless Chromium, level 50: $page"
    echo "$page_said" | grep -E '^(floor|level 1|level 50, sound off|level 50 with|sound|cue to sound|keeping costs|brought back)' |
        sed 's/^/page, /'
    echo "page against desktop:              $(ratio "$page" "$desktop") x"
} >"$result"
