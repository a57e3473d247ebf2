# Sourced by the end-to-end test scripts. Each script gets its own X display and Wine
# prefix (tests/wine/wineenv.sh), starts KeyDeputy.exe there, drives it with kddriver.exe
# and checks what a user would see.
#
# Environment (set by CTest): KD_EXE (KeyDeputy.exe), KD_DRIVER (kddriver.exe),
# KD_WINE_TEMPLATE (the prefix template).
#
#   e2e_begin                      display, prefix, a warm wineserver; cleanup on exit
#   kd_install DIR                 copies KeyDeputy.exe into C:\DIR (e.g. kd, kd\Temp)
#   kd_xml DIR ENCODING            writes C:\DIR\KeyDeputy.xml from standard input
#                                  (utf16, utf16-nobom, utf8, utf8-bom, ansi)
#   kd_start DIR [ERRFILE] [FROM]  starts the program in the background; KD_PID is the
#                                  process to wait for; Wine's messages go to ERRFILE;
#                                  FROM is the folder it is started in (default DIR)
#   kd_wait_exit PID SECONDS       waits for it to end; KD_EXIT is its exit code
#   drv ARGS...                    runs kddriver.exe and prints its output
#   drv_bg FILE ARGS...            runs it in the background, output to FILE; KD_BG_PID
#   make_bat NAME                  C:\kd\NAME.bat, which writes C:\kd\NAME.txt
#   box_read CAPTION / box_field F reads a message box, then one of its fields
#   wait_for SECONDS COMMAND...    polls until the command succeeds
#   press_keys KEYS                focuses a window of the prefix, then types KEYS
#   check / check_not / check_eq / check_match record one result each; e2e_end
#                                  reports them all and sets the exit code

set -u

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$E2E_DIR/../wine/wineenv.sh"

: "${KD_EXE:?KD_EXE names KeyDeputy.exe}"
: "${KD_DRIVER:?KD_DRIVER names kddriver.exe}"

E2E_PASSED=0
E2E_FAILED=0
E2E_STARTED_PIDS=()

e2e_begin() {
    kd_wine_start
    trap e2e_end EXIT
    # A CTest time-out must still stop this run's Xvfb and wineserver.
    trap 'e2e_fail "interrupted"; exit 1' TERM INT HUP
    # A persistent wineserver keeps every later start fast; kd_wine_stop ends it.
    wineserver -p
    wine cmd /c exit 0 >/dev/null 2>&1
    echo "e2e: display $DISPLAY, prefix $WINEPREFIX"
}

e2e_end() {
    local pid
    for pid in "${E2E_STARTED_PIDS[@]}"; do
        kill "$pid" 2>/dev/null
    done
    kd_wine_stop
    echo "e2e: $E2E_PASSED passed, $E2E_FAILED failed"
    trap - EXIT
    [ "$E2E_FAILED" -eq 0 ] && exit 0
    exit 1
}

# ----- results -----

e2e_pass() { E2E_PASSED=$((E2E_PASSED + 1)); echo "PASS: $1"; }
e2e_fail() { E2E_FAILED=$((E2E_FAILED + 1)); echo "FAIL: $1"; shift; [ $# -gt 0 ] && printf '      %s\n' "$@"; return 0; }

# check NAME COMMAND...: passes when the command succeeds.
check() {
    local name=$1 out
    shift
    if out=$("$@" 2>&1); then e2e_pass "$name"; else e2e_fail "$name" "command: $*" "output: $out"; fi
}

# check_not NAME COMMAND...: passes when the command fails.
check_not() {
    local name=$1 out
    shift
    if out=$("$@" 2>&1); then e2e_fail "$name" "command succeeded: $*" "output: $out"; else e2e_pass "$name"; fi
}

check_eq() {
    if [ "$2" == "$3" ]; then e2e_pass "$1"; else e2e_fail "$1" "expected: $2" "actual:   $3"; fi
}

# check_match NAME EXTENDED_REGEX ACTUAL
check_match() {
    if [[ $3 =~ $2 ]]; then e2e_pass "$1"; else e2e_fail "$1" "pattern: $2" "actual:  $3"; fi
}

# ----- files in the prefix -----

# Windows path C:\a\b for the folder a\b (or a/b) under drive_c.
win_path() { printf 'C:\\%s' "${1//\//\\}"; }
unix_path() { local p=${1//\\//}; printf '%s/%s' "$KD_DRIVE_C" "$p"; }

kd_install() {
    mkdir -p "$(unix_path "$1")"
    cp "$KD_EXE" "$(unix_path "$1")/KeyDeputy.exe"
}

# The XML text comes from standard input in UTF-8, as the script is written.
kd_xml() {
    local file
    file="$(unix_path "$1")/KeyDeputy.xml"
    case $2 in
        utf16) { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE; } >"$file" ;;
        utf16-nobom) iconv -f UTF-8 -t UTF-16LE >"$file" ;;
        utf8) cat >"$file" ;;
        utf8-bom) { printf '\xef\xbb\xbf'; cat; } >"$file" ;;
        ansi) iconv -f UTF-8 -t GBK >"$file" ;;
        *) echo "kd_xml: unknown encoding $2" >&2; return 1 ;;
    esac
}

# make_bat NAME: C:\kd\NAME.bat, which writes C:\kd\NAME.txt when the shell opens it.
# A .bat path is a file the shell opens reliably; a whole command line is not (see README).
make_bat() {
    mkdir -p "$KD_DRIVE_C/kd"
    printf '@echo off\r\necho %s> C:\\kd\\%s.txt\r\n' "$1" "$1" >"$KD_DRIVE_C/kd/$1.bat"
}

# ----- processes -----

# Wine's exit status is the program's own exit code.
kd_start() {
    local dir
    dir=$(unix_path "${3:-$1}")
    (cd "$dir" && exec wine "$(win_path "$1")\\KeyDeputy.exe") >/dev/null 2>"${2:-/dev/null}" &
    KD_PID=$!
    E2E_STARTED_PIDS+=("$KD_PID")
}

kd_wait_exit() {
    local pid=$1 limit=$(( $2 * 10 )) i
    KD_EXIT=
    for ((i = 0; i < limit; i++)); do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid"
            KD_EXIT=$?
            return 0
        fi
        sleep 0.1
    done
    return 1
}

kd_running() { kill -0 "$1" 2>/dev/null; }

# main_windows CAPTION: the main windows (the program's class) titled CAPTION, as drv list prints them.
main_windows() { drv list --class 'KeyDeputy main window' | awk -F'\t' -v t="$1" '$3 == t'; }

# Both its outputs go through files, not the caller's pipes: a Wine process it starts
# (the desktop, when it had ended) inherits its standard output and error, and inside a
# $(drv ...) or a check would hold that pipe open, and the script with it, long after
# drv itself ended. No driver command runs for more than 120 s: one that hangs fails
# its check instead of the whole script running into its time-out.
drv() {
    local out="$KD_RUN_DIR/drv.$BASHPID" status
    timeout -k 5 120 wine "$KD_DRIVER" "$@" >"$out" 2>"$out.err"
    status=$?
    cat "$out"
    cat "$out.err" >&2
    rm -f "$out" "$out.err"
    return "$status"
}

drv_bg() {
    local out=$1
    shift
    wine "$KD_DRIVER" "$@" >"$out" 2>&1 &
    KD_BG_PID=$!
    E2E_STARTED_PIDS+=("$KD_BG_PID")
}

# wait_line FILE TEXT SECONDS: until FILE holds a line starting with TEXT.
wait_line() {
    local limit=$(( $3 * 10 )) i
    for ((i = 0; i < limit; i++)); do
        grep -q "^$2" "$1" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

# wait_for SECONDS COMMAND...: until the command succeeds.
wait_for() {
    local limit=$(( $1 * 10 )) i
    shift
    for ((i = 0; i < limit; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

wait_file() {
    local limit=$(( $2 * 10 )) i
    for ((i = 0; i < limit; i++)); do
        [ -e "$1" ] && return 0
        sleep 0.1
    done
    return 1
}

stop_pid() {
    kill "$1" 2>/dev/null
    wait "$1" 2>/dev/null
    return 0
}

# ----- message boxes -----

# box_read CAPTION [driver options]: reads the box into KD_BOX (key=value lines).
box_read() {
    KD_BOX=$(drv box "$@")
}

# box_field NAME: one field of the last box_read.
box_field() { printf '%s\n' "$KD_BOX" | sed -n "s/^$1=//p"; }

# ----- keyboard -----

# Key presses reach Wine only while one of its windows has the X focus: show a window of
# the driver, focus it, then type. press_keys KEYS (xdotool names, e.g. ctrl+alt+F9).
press_keys() {
    local out=$KD_RUN_DIR/focus.out wid
    drv_bg "$out" window "kd-e2e-focus" --seconds 30
    local focus_pid=$KD_BG_PID
    if ! wait_line "$out" ready 15; then
        stop_pid "$focus_pid"
        echo "press_keys: no focus window" >&2
        return 1
    fi
    wid=$(xdotool search --sync --name '^kd-e2e-focus$' | head -n1)
    xdotool windowfocus --sync "$wid" && xdotool key --clearmodifiers "$1"
    local rc=$?
    sleep 0.3
    stop_pid "$focus_pid"
    return $rc
}

# ----- helpers of the hostile-configuration scripts -----

# Hidden windows cost about 2 s each in Wine's managed mode (see tests/README.md); a
# script that closes many boxes runs the program unmanaged.
kd_unmanaged() {
    wine reg add 'HKCU\Software\Wine\AppDefaults\KeyDeputy.exe\X11 Driver' /v Managed /t REG_SZ /d N /f \
        >/dev/null 2>&1
}

# report_text MESSAGE LINE COLUMN: the load report of C:\kd\KeyDeputy.xml as the driver
# prints it, e.g. report_text "错误: 未知字符集" 3 13.
report_text() {
    printf '配置文件“C:\\\\kd\\\\KeyDeputy.xml”解析错误。\\n%s。\\n在 %s行 %s列。\\n' "$1" "$2" "$3"
}

# expect_load_report NAME TEXT [SECONDS]: a start of C:\kd that must end in the load
# report beginning with exactly TEXT (escaped as the driver prints it) and followed by
# the cause and its fix, OK only, then code 255.
expect_load_report() {
    local name=$1 text=$2 seconds=${3:-30}
    kd_start kd
    if ! box_read "配置文件解析错误" --timeout $((seconds * 1000)); then
        e2e_fail "$name: load report shown" "running: $(kd_running "$KD_PID" && echo yes || echo no)" \
            "windows: $(drv list 2>&1 | tr '\n' ';')"
        kd_running "$KD_PID" && stop_pid "$KD_PID"
        return 1
    fi
    local shown
    shown=$(box_field text)
    check_eq "$name: report text" "$text" "${shown:0:${#text}}"
    check_match "$name: then the cause or its fix" '^(原因|改法)：' "${shown:${#text}}"
    check_eq "$name: report has only OK" "ok" "$(box_field buttons)"
    drv answer "配置文件解析错误" ok >/dev/null
    if kd_wait_exit "$KD_PID" 30; then
        check_eq "$name: exit code" "255" "$KD_EXIT"
    else
        e2e_fail "$name: program ended after the report"
        stop_pid "$KD_PID"
    fi
}

# close_program CAPTION: WM_CLOSE to the main window, then the end with code 0.
close_program() {
    drv post "$1" 16 0 0
    if kd_wait_exit "$KD_PID" 20; then
        check_eq "WM_CLOSE ends the program with code 0" "0" "$KD_EXIT"
    else
        e2e_fail "WM_CLOSE ends the program"
        stop_pid "$KD_PID"
    fi
}

# elapsed SINCE: seconds since a $(date +%s.%N) reading, to two decimals.
elapsed() { awk -v a="$1" -v b="$(date +%s.%N)" 'BEGIN { printf "%.2f", b - a }'; }

# Wine's desktop process (explorer.exe) ends about 3 s after the last other Wine process
# of the prefix, and whichever process needs it next starts it again. Started by a
# driver call inside $(...), it keeps that command substitution's pipe open for as long
# as it runs, and the script waits forever (tests/README.md). So the desktop is started
# here, outside any $(...), and an idle Wine process kept for the whole run stops it
# from ending.
kd_keep_desktop() {
    drv icons >/dev/null 2>&1
    mkfifo "$KD_RUN_DIR/keep-desktop"
    wine cmd /c pause <"$KD_RUN_DIR/keep-desktop" >/dev/null 2>&1 &
    E2E_STARTED_PIDS+=("$!")
    exec 7>"$KD_RUN_DIR/keep-desktop"
}
