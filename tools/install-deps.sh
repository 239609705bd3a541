#!/usr/bin/env bash
# Installs, from Debian's packages, what the named make targets need and the
# machine lacks: `run` (building and playing), `headless` (the game library,
# quenmar-sim and their tests, without Qt), `test`, `bench`, `fuzz`,
# `package`, `web` (the browser build), `test-web` and `format` (the two
# formatters; npm then installs the pinned prettier). Does nothing when
# everything is there.
# Usage: tools/install-deps.sh TARGET...
set -euo pipefail

# A word that names another target stands for that target's packages.
declare -A needs=(
    [core]="build-essential cmake libcli11-dev libpng-dev"
    [run]="core qt6-base-dev qt6-multimedia-dev qt6-wayland libxcb1-dev libsdl2-dev"
    [headless]="core libgtest-dev"
    # tests on a real X server with a window manager, on Wayland, and of the
    # desktop entry, the metadata and the package
    [test]="run headless libgmock-dev xvfb xdotool x11-xkb-utils libx11-dev openbox weston
            desktop-file-utils appstream lintian file pulseaudio pulseaudio-utils"
    [bench]="run libbenchmark-dev xvfb xdotool pulseaudio pulseaudio-utils"
    [fuzz]="core clang libclang-rt-14-dev"
    # the browser build (rsvg-convert draws its icons), and its tests: in node, and in headless Chromium over
    # the DevTools protocol (with Debian's WebSocket client for node)
    [web]="cmake libcli11-dev emscripten nodejs librsvg2-bin"
    [test-web]="web headless chromium-headless-shell node-ws"
    [package]="run file"
    [format]="clang-format npm"
)

packages=()
add() {
    [ -n "${needs[$1]+x}" ] || { echo "install-deps: no target '$1'" >&2; exit 2; }
    local word
    for word in ${needs[$1]}; do
        if [ -n "${needs[$word]+x}" ]; then add "$word"; else packages+=("$word"); fi
    done
}
for target in "$@"; do add "$target"; done

missing=()
for package in $(printf '%s\n' "${packages[@]}" | sort -u); do
    # A node from elsewhere (NodeSource's) brings its own npm.
    if [ "$package" = npm ] && command -v npm >/dev/null; then continue; fi
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    sudo=()
elif command -v sudo >/dev/null; then
    sudo=(sudo)
else
    echo "install-deps: missing packages (${missing[*]}) and neither root nor sudo to install them" >&2
    exit 1
fi
echo "install-deps: installing ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
