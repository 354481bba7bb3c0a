#!/usr/bin/env bash
# Input latency of Fuelix, on the xcb platform under a private Xvfb and on the offscreen one.
#
#   bench/latency/run.sh [--build DIR] [--keys N] [--steps N]
set -euo pipefail
cd "$(dirname "$0")/../.."

build=build/release
args=()
while [ $# -gt 0 ]; do
    case "$1" in
    --build) build=$2; shift 2 ;;
    --keys | --steps) args+=("$1" "$2"); shift 2 ;;
    *) echo "usage: $0 [--build DIR] [--keys N] [--steps N]" >&2; exit 1 ;;
    esac
done
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake --preset release -B "$build" >/dev/null
fi
cmake --build "$build" --target fuelix_latency >/dev/null
bench=$build/bench/latency/fuelix_latency

. tools/xvfb.sh
work=$(mktemp -d)
xvfb_pid=
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
start_xvfb "$work"
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY

QT_QPA_PLATFORM=xcb "$bench" "${args[@]}"
echo
QT_QPA_PLATFORM=offscreen "$bench" "${args[@]}"
