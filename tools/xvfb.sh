# Sourced by the scripts that run programs on a private X server: tests, benchmarks, checks.

# start_xvfb WORKDIR [WxHxD]: starts a bare Xvfb (no window manager, no compositor) on a free
# display, exports DISPLAY and a private 0700 XDG_RUNTIME_DIR, and sets xvfb_pid.
# -noreset: the server must not reset when a short-lived client (xdpyinfo, the accessibility
# bus launcher) leaves just as the program connects.
start_xvfb() {
    local work=$1 screen=${2:-1280x1024x24} try i
    for try in 1 2 3 4 5; do
        : >"$work/display"
        Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
        xvfb_pid=$!
        for i in $(seq 100); do
            [ -s "$work/display" ] && break
            sleep 0.05
        done
        export DISPLAY=:$(head -n1 "$work/display")
        # Servers started at the same moment can race for a display number; the loser exits.
        kill -0 "$xvfb_pid" 2>/dev/null && xdpyinfo >/dev/null 2>&1 && break
        kill "$xvfb_pid" 2>/dev/null || true
        xvfb_pid=
    done
    if [ -z "$xvfb_pid" ]; then
        echo "Xvfb did not start" >&2
        return 1
    fi
    export XDG_RUNTIME_DIR=$work/runtime
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
}
