# Sourced by the end-to-end scripts: the real fuelix on a private X server with no window
# manager, and helpers to photograph its window. Needs xvfb, xdotool, x11-utils, imagemagick.

export QT_QPA_PLATFORM=xcb # the test presets run everything else offscreen
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS
# In sanitizer builds, what a system library keeps until exit is not the program's leak.
export LSAN_OPTIONS="suppressions=$(dirname "${BASH_SOURCE[0]}")/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
. "$(dirname "${BASH_SOURCE[0]}")/../../tools/xvfb.sh"
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; wait; rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    [ -s "$work/fuelix.log" ] && sed 's/^/fuelix: /' "$work/fuelix.log" >&2
    exit 1
}

# Starts Xvfb on a free display, then the program; sets DISPLAY, pid and window (its id).
start_fuelix() { # path/to/fuelix
    local i
    start_xvfb "$work" 1024x768x24 || fail "Xvfb did not start"
    "$1" 2>"$work/fuelix.log" &
    pid=$!
    for i in $(seq 300); do
        kill -0 "$pid" 2>/dev/null || fail "fuelix ended before showing its window"
        window=$(xdotool search --onlyvisible --pid "$pid" --name '^Fuelix$' 2>/dev/null |
            head -n1) || true
        [ -n "$window" ] && break
        sleep 0.05
    done
    [ -n "$window" ] || fail "no Fuelix window appeared within 15 s"
    # Its first frame is painted once the window shows more than one colour.
    for i in $(seq 100); do
        import -window "$window" "$work/shot.png" 2>/dev/null &&
            [ "$(convert "$work/shot.png" -format %k info:)" -gt 1 ] && return 0
        sleep 0.05
    done
    fail "the window was never painted"
}

# A checksum of the pixels of one rectangle (WxH+X+Y) of the window.
region_sum() {
    import -window "$window" "$work/shot.png" &&
        convert "$work/shot.png" -crop "$1" +repage rgb:- | md5sum | cut -d' ' -f1
}

# Waits up to 5 s until the region's checksum equals (=) or differs from (!=) a value.
wait_region() { # geometry op value
    local i
    for i in $(seq 50); do
        [ "$(region_sum "$1")" "$2" "$3" ] && return 0
        sleep 0.1
    done
    return 1
}
