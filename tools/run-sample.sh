#!/usr/bin/env bash
# Runs the built KeyDeputy.exe with a configuration under Wine, inside a Wine virtual
# desktop window where its tray icon, balloon and menu can be seen and used.
#
#   tools/run-sample.sh [CONFIG.xml]      (default: examples/KeyDeputy.xml)
#
# The program and the configuration are copied to C:\KeyDeputy of a Wine prefix of
# this script's own, build/sample-wineprefix, made on first use and kept afterwards.
# With a DISPLAY the desktop window opens there and the script returns when it closes
# (exit the program from its menu, or close the window). Without one it starts a
# private Xvfb, opens the tray menu after a few seconds, saves a screenshot to
# build/sample-screen.png and stops everything it started.
#
# KD_BUILD_DIR (default build/windows) names the build tree that holds app/KeyDeputy.exe;
# KD_SAMPLE_DIR (default build) is where the prefix and the screenshot go.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${KD_BUILD_DIR:-$repo/build/windows}
sample_dir=${KD_SAMPLE_DIR:-$repo/build}
config=${1:-$repo/examples/KeyDeputy.xml}
exe=$build_dir/app/KeyDeputy.exe
prefix=$sample_dir/sample-wineprefix
screen=$sample_dir/sample-screen.png

[ -f "$exe" ] || { echo "run-sample: $exe not found; build it first:" >&2
                   echo "  cmake --preset windows && cmake --build --preset windows --target KeyDeputy" >&2; exit 1; }
[ -f "$config" ] || { echo "run-sample: configuration $config not found" >&2; exit 1; }
mkdir -p "$sample_dir"

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
export WINEPREFIX=$prefix

xvfb_pid=
wine_pid=
cleanup() {
    if [ -n "$wine_pid" ]; then
        wineserver -k 2>/dev/null || true
        wait "$wine_pid" 2>/dev/null || true
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    [ -n "${fifo_dir:-}" ] && rm -rf "$fifo_dir"
    return 0
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# The prefix is made beside its final place and moved there only when complete, so an
# interrupted first run leaves nothing half made; the lock keeps two first runs apart.
exec 9>"$prefix.lock"
flock 9
if [ ! -f "$prefix/system.reg" ]; then
    echo "run-sample: making the Wine prefix $prefix (once, about 10 s)"
    rm -rf "$prefix.part"
    (
        export WINEPREFIX=$prefix.part
        unset DISPLAY
        wineboot -i >/dev/null 2>&1
        wineserver -w
    )
    rm -rf "$prefix"
    mv "$prefix.part" "$prefix"
fi
flock -u 9

target=$prefix/drive_c/KeyDeputy
mkdir -p "$target"
cp "$exe" "$target/KeyDeputy.exe"
cp "$config" "$target/KeyDeputy.xml"

if [ -z "${DISPLAY:-}" ]; then
    fifo_dir=$(mktemp -d)
    Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp >"$fifo_dir/display" 2>/dev/null &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$fifo_dir/display" ] && break
        sleep 0.05
    done
    [ -s "$fifo_dir/display" ] || { echo "run-sample: Xvfb did not start" >&2; exit 1; }
    DISPLAY=:$(head -n1 "$fifo_dir/display")
    export DISPLAY
    echo "run-sample: no DISPLAY; started Xvfb on $DISPLAY, a screenshot will be saved to $screen"
    wine explorer /desktop=KeyDeputy,1024x768 'C:\KeyDeputy\KeyDeputy.exe' &
    wine_pid=$!
    sleep "${KD_SAMPLE_WAIT:-8}"
    if ! kill -0 "$wine_pid" 2>/dev/null; then
        echo "run-sample: the program ended early" >&2
    fi
    # Open the tray menu for the picture: with no window manager the desktop window
    # sits at the screen's origin, and the only tray icon at its bottom-right corner.
    if command -v xdotool >/dev/null; then
        xdotool mousemove 1012 757 click 1 mousemove 600 400 || true
        sleep 1
    fi
    if command -v xwd >/dev/null; then
        xwd -root -silent | convert xwd:- "$screen"
    else
        import -window root "$screen"
    fi
    echo "run-sample: saved $screen"
    exit 0
fi

echo "run-sample: starting KeyDeputy in a Wine desktop window on $DISPLAY; exit it from its tray menu"
wine explorer /desktop=KeyDeputy,1024x768 'C:\KeyDeputy\KeyDeputy.exe' &
wine_pid=$!
wait "$wine_pid" || true
wine_pid=
