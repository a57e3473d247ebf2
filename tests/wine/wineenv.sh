# Sourced by the Wine test scripts: a private X display and Wine prefix per run.
#   kd_wine_start   starts Xvfb, unpacks a fresh prefix, exports the environment
#   kd_wine_stop    stops this prefix's wineserver and this run's Xvfb, removes the folder
# KD_WINE_TEMPLATE names the prefix template (a tar file); it is made on first use.

kd_wine_template_make() {
    local template=$1 tmp
    tmp=$(mktemp -d)
    (
        export WINEPREFIX=$tmp/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
               LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
        unset DISPLAY
        wineboot -i >/dev/null 2>&1
        wineserver -w
    )
    tar -C "$tmp" -cf "$template.part" prefix && mv "$template.part" "$template"
    rm -rf "$tmp"
}

kd_wine_start() {
    : "${KD_WINE_TEMPLATE:=${TMPDIR:-/tmp}/keydeputy-wineprefix.tar}"
    mkdir -p "$(dirname "$KD_WINE_TEMPLATE")"
    (
        flock 9
        [ -f "$KD_WINE_TEMPLATE" ] || kd_wine_template_make "$KD_WINE_TEMPLATE"
    ) 9>"$KD_WINE_TEMPLATE.lock"

    KD_RUN_DIR=$(mktemp -d "${TMPDIR:-/tmp}/kdwine.XXXXXX")
    local fifo=$KD_RUN_DIR/display
    Xvfb -displayfd 1 -screen 0 "${KD_SCREEN:-1024x768x24}" -nolisten tcp >"$fifo" 2>/dev/null &
    KD_XVFB_PID=$!
    local i
    for i in $(seq 100); do
        [ -s "$fifo" ] && break
        sleep 0.05
    done
    export DISPLAY=:$(head -n1 "$fifo")
    tar -C "$KD_RUN_DIR" -xf "$KD_WINE_TEMPLATE"
    export WINEPREFIX=$KD_RUN_DIR/prefix
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
    export KD_DRIVE_C=$WINEPREFIX/drive_c
}

kd_wine_stop() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
    [ -n "${KD_XVFB_PID:-}" ] && { kill "$KD_XVFB_PID" 2>/dev/null; wait "$KD_XVFB_PID" 2>/dev/null; }
    [ -n "${KD_RUN_DIR:-}" ] && rm -rf "$KD_RUN_DIR"
    KD_XVFB_PID= KD_RUN_DIR=
}
