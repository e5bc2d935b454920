#!/usr/bin/env bash
# Builds Brevon and runs it or its tests, installing what the build needs from Debian's
# packages first. Usage: ./brevon.sh run | test
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build="${BREVON_BUILD_DIR:-$here/build}"
packages=(cmake ninja-build g++ qt6-base-dev libgl-dev libvulkan-dev xvfb xauth desktop-file-utils appstream)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    if ((${#missing[@]})); then
        echo "Installing: ${missing[*]}"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq
        apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
}

configure_and_build() {
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$build" -j "$(nproc)"
}

case "${1:-}" in
run)
    install_missing
    configure_and_build
    if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
        exec xvfb-run -a -s "-screen 0 1600x1000x24" "$build/src/brevon"
    fi
    exec "$build/src/brevon"
    ;;
test)
    install_missing
    configure_and_build
    cd "$build"
    exec ctest --output-on-failure -j "$(nproc)"
    ;;
*)
    echo "usage: $0 run | test" >&2
    exit 2
    ;;
esac
