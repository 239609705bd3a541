#!/usr/bin/env bash
# Installs, from Debian's packages, what the named make targets need and the
# machine lacks: `run` (building and playing), `test`, `bench`, `fuzz`,
# `package`. Does nothing when everything is there.
# Usage: tools/install-deps.sh TARGET...
set -euo pipefail

declare -A needs=(
    [run]="build-essential cmake qt6-base-dev qt6-wayland libxcb1-dev"
    # tests on a real X server with a window manager, on Wayland, and of the
    # desktop entry, the metadata and the package
    [test]="libgtest-dev libgmock-dev xvfb xdotool x11-xkb-utils libx11-dev openbox weston
            desktop-file-utils appstream lintian file"
    [bench]="libbenchmark-dev xvfb xdotool"
    [fuzz]="clang libclang-rt-14-dev"
    [package]="file"
)

packages=()
for target in run "$@"; do
    [ -n "${needs[$target]+x}" ] || { echo "install-deps: no target '$target'" >&2; exit 2; }
    read -r -a more <<<"$(echo ${needs[$target]})"
    packages+=("${more[@]}")
done

missing=()
for package in "${packages[@]}"; do
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
