#!/usr/bin/env bash
# Start-up of Fuelix against the desktop calculators people already have, on a private Xvfb:
# fork to first painted frame and peak resident memory, measured from outside the process by
# firstframe. Prints a markdown table of median and range per program.
#
#   bench/startup/run.sh [--runs N] [--build DIR] [name=command ...]
#
# With no programs named it times fuelix (from the release build), xcalc and galculator,
# interleaved, after one warm-up run of each. Name other commands to compare builds, e.g.
#   bench/startup/run.sh fuelix=build/release/app/fuelix patched=/tmp/patched/fuelix
set -euo pipefail
cd "$(dirname "$0")/../.."

runs=10
build=build/release
programs=()
while [ $# -gt 0 ]; do
    case "$1" in
    --runs) runs=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    *=*) programs+=("$1"); shift ;;
    *) echo "usage: $0 [--runs N] [--build DIR] [name=command ...]" >&2; exit 1 ;;
    esac
done

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# The peers are this benchmark's own setup, not something Fuelix needs.
missing=()
for package in x11-apps galculator xvfb; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi

targets=(firstframe)
[ ${#programs[@]} -eq 0 ] && targets+=(fuelix)
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake --preset release -B "$build" >/dev/null
fi
cmake --build "$build" --target "${targets[@]}" >/dev/null
probe=$build/bench/startup/firstframe
if [ ${#programs[@]} -eq 0 ]; then
    programs=("fuelix=$build/app/fuelix" "xcalc=xcalc" "galculator=galculator")
fi

. tools/xvfb.sh
work=$(mktemp -d)
xvfb_pid=
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

start_xvfb "$work"
# No session bus here: keep GTK from looking for the accessibility bus, which only adds a
# timeout that a desktop would not have.
export NO_AT_BRIDGE=1
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY

measure() { # name command -> appends "first settled rss_kb" to $work/name
    local name=$1 line
    shift
    # shellcheck disable=SC2086 # the command is a word list on purpose
    if line=$("$probe" --timeout 10000 --settle 150 -- $* 2>>"$work/stderr"); then
        echo "$line" | sed -E 's/.*first_frame_ms=([0-9.]+) settled_ms=([0-9.]+) peak_rss_kb=([0-9]+).*/\1 \2 \3/' \
            >>"$work/$name"
    else
        echo "warning: $name did not paint a window: $line" >&2
    fi
}

for program in "${programs[@]}"; do
    measure warmup "${program#*=}"
done
for _ in $(seq "$runs"); do
    for program in "${programs[@]}"; do
        measure "${program%%=*}" "${program#*=}"
    done
done

stats() { # file column [divisor] -> "median min max"
    cut -d' ' -f"$2" "$1" | sort -g | awk -v d="${3:-1}" '{ v[NR] = $1 / d }
        END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
              printf "%.1f %.1f %.1f", m, v[1], v[NR] }'
}

echo "| program | runs | first painted frame, median (range) | settled, median | peak RSS, median (range) |"
echo "|---|---|---|---|---|"
for program in "${programs[@]}"; do
    name=${program%%=*}
    [ -s "$work/$name" ] || { echo "| $name | 0 | did not start | | |"; continue; }
    read -r fm fl fh <<<"$(stats "$work/$name" 1)"
    read -r sm _ _ <<<"$(stats "$work/$name" 2)"
    read -r rm rl rh <<<"$(stats "$work/$name" 3 1024)"
    printf '| %s | %d | %s ms (%s–%s) | %s ms | %s MiB (%s–%s) |\n' "$name" \
        "$(wc -l <"$work/$name")" "$fm" "$fl" "$fh" "$sm" "$rm" "$rl" "$rh"
done
