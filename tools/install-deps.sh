#!/usr/bin/env bash
# Installs, from Debian's packages, whatever building, running and testing the
# game needs and the machine lacks. Does nothing when everything is there.
set -euo pipefail

packages=(
    build-essential cmake          # compiler and build
    qt6-base-dev                   # the windows
    libgtest-dev libgmock-dev      # tests
    libbenchmark-dev               # benchmarks
    xvfb xdotool libx11-dev        # tests on a real X server
    desktop-file-utils appstream   # checks of the desktop entry and metadata
    clang libclang-rt-14-dev       # the fuzzer
)

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
