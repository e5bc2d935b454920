#!/usr/bin/env bash
# Builds Brevon and runs it or its tests, installing what the build needs from Debian's
# packages first. Usage: ./brevon.sh run [FILE] | test
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

configure() {
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DBREVON_WARNINGS_AS_ERRORS="${BREVON_WARNINGS_AS_ERRORS:-OFF}" >/dev/null
}

command="${1:-}"
shift || true
case "$command" in
run)
    install_missing
    configure
    # Only the program, not the tests and benchmarks: a first start is as short as it can be.
    cmake --build "$build" -j "$(nproc)" --target brevon
    if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
        echo "No display here: Brevon runs on an invisible virtual display (Xvfb, 1600x1000)." >&2
        echo "Nothing will appear on screen. Press Ctrl+C to stop it." >&2
        exec xvfb-run -a -s "-screen 0 1600x1000x24" "$build/src/brevon" "$@"
    fi
    exec "$build/src/brevon" "$@"
    ;;
test)
    install_missing
    configure
    cmake --build "$build" -j "$(nproc)"
    cd "$build"
    exec ctest --output-on-failure -j "$(nproc)"
    ;;
*)
    echo "usage: $0 run [FILE] | test" >&2
    exit 2
    ;;
esac
