#!/usr/bin/env bash
# KeyDeputy idles at zero cost: with the sample configuration and nothing pending it
# sets no timer and, once its icon is shown, neither uses CPU nor wakes up at all.
#
# Seen from outside, on the program's own Unix process ($! of `wine ...`):
#   - CPU: utime + stime of /proc/PID/stat over IDLE_SECONDS may grow by 1 tick at most;
#   - wake-ups: the context switches of all its threads (/proc/PID/task/*/status) may
#     grow by WAKE_LIMIT at most, so any timer of a period up to a few seconds shows;
#   - timers: Wine's relay trace, narrowed to the timer entry points, must show none from
#     start to the end of the idle time, while it does show the hotkeys and the icon
#     being added (so an empty trace cannot pass).
# minimalTray.exe runs beside it with each kind of timer; each must be caught, which
# proves the three detectors, and without a timer it must pass.
. "$(dirname "$0")/../e2e/e2e.sh"
: "${KD_MINIMAL:?KD_MINIMAL names minimalTray.exe}"

IDLE_SECONDS=10
WAKE_LIMIT=2
# Every way a Windows program can ask for a timer, at each layer Wine passes through.
TIMER_CALLS="user32.SetTimer user32.SetSystemTimer user32.SetCoalescableTimer win32u.NtUserSetTimer
win32u.NtUserSetSystemTimer kernel32.SetWaitableTimer kernel32.SetWaitableTimerEx kernelbase.SetWaitableTimer
kernelbase.SetWaitableTimerEx ntdll.NtCreateTimer ntdll.NtSetTimer kernel32.CreateTimerQueueTimer
kernelbase.CreateTimerQueueTimer ntdll.RtlCreateTimer kernel32.CreateThreadpoolTimer kernelbase.CreateThreadpoolTimer
ntdll.TpAllocTimer ntdll.TpSetTimer ntdll.NtSetTimerResolution winmm.timeSetEvent winmm.timeBeginPeriod"
# Calls the programs surely make: they show that the trace covers the process.
LIVE_CALLS="user32.RegisterHotKey shell32.Shell_NotifyIconW"
# With 自动重新加载 是 the program waits on its folder instead: the watch must be seen set.
WATCH_CALLS="kernel32.FindFirstChangeNotificationW kernelbase.FindFirstChangeNotificationW"

e2e_begin
# A desktop process started by one of the traced programs would write its own relay trace
# (the balloon timers it sets for KeyDeputy's icon) into that program's trace file.
kd_keep_desktop

include=$(echo $TIMER_CALLS $LIVE_CALLS $WATCH_CALLS | tr ' ' ';')
wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ /d "$include" /f >/dev/null 2>&1
# By default calls made from user32, gdi32, advapi32 and kernel32 are not traced; a
# timer those set on the program's behalf must show as well.
wine reg add 'HKCU\Software\Wine\Debug' /v RelayFromExclude /t REG_SZ /d "none.dll" /f >/dev/null 2>&1

kd_install kd
cp "$E2E_DIR/../../examples/KeyDeputy.xml" "$KD_DRIVE_C/kd/KeyDeputy.xml"
mkdir -p "$KD_DRIVE_C/min"
cp "$KD_MINIMAL" "$KD_DRIVE_C/min/minimalTray.exe"
cp "$KD_DRIVE_C/kd/KeyDeputy.xml" "$KD_DRIVE_C/min/minimalTray.xml"
kd_install kdw
kd_xml kdw utf16 <<'EOF_XML'
<KeyDeputy>
<设置><名称>idle-watch</名称><自动重新加载>是</自动重新加载></设置>
<菜单><退出>退出程序</退出></菜单>
</KeyDeputy>
EOF_XML

# traced NAME DIR EXE ARGS...: starts a program with the relay trace into NAME.trace;
# its Unix process goes into PIDS[NAME].
declare -A PIDS
traced() {
    local name=$1 dir=$2 exe=$3
    shift 3
    (cd "$(unix_path "$dir")" && WINEDEBUG=-all,+relay exec wine "$(win_path "$dir")\\$exe" "$@") \
        >/dev/null 2>"$KD_RUN_DIR/$name.trace" &
    PIDS[$name]=$!
    E2E_STARTED_PIDS+=("$!")
}

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null; }
# Per thread: id and voluntary plus involuntary context switches.
switches() {
    local task
    for task in /proc/"$1"/task/*; do
        awk -v t="${task##*/}" '/^(non)?voluntary_ctxt_switches/ {n += $2} END {print t, n}' "$task/status" 2>/dev/null
    done
}
# wakeups BEFORE AFTER: switches added by the threads of AFTER (new threads count whole).
wakeups() { awk 'NR == FNR {b[$1] = $2; next} {n += $2 - b[$1]} END {print n + 0}' "$1" "$2"; }
timer_calls() {
    local call pattern=
    for call in $TIMER_CALLS; do pattern+="${pattern:+|}Call ${call//./\\.}\\("; done
    grep -Ec "$pattern" "$1"
}

# name      program and arguments                               what must be found
CASES=(
    "keydeputy|kd|KeyDeputy.exe|"
    "watching|kdw|KeyDeputy.exe|"
    "none|min|minimalTray.exe|--caption idle-none"
    "user|min|minimalTray.exe|--caption idle-user --timer user,1000"
    "busy|min|minimalTray.exe|--caption idle-busy --timer user,1"
    "queue|min|minimalTray.exe|--caption idle-queue --timer queue,1000"
    "waitable|min|minimalTray.exe|--caption idle-waitable --timer waitable,1000"
    "mm|min|minimalTray.exe|--caption idle-mm --timer mm,1000"
)
for case in "${CASES[@]}"; do
    IFS='|' read -r name dir exe args <<<"$case"
    # shellcheck disable=SC2086 # the arguments are words
    traced "$name" "$dir" "$exe" $args
done
check "all ${#CASES[@]} programs show their tray icon" drv icons "${#CASES[@]}" --timeout 30000
# Let the start-up settle (the sample's balloon comes about 2 s after the icon).
sleep 3

declare -A CPU0
for name in "${!PIDS[@]}"; do
    pid=${PIDS[$name]}
    CPU0[$name]=$(cpu_ticks "$pid")
    switches "$pid" >"$KD_RUN_DIR/$name.before"
done
sleep "$IDLE_SECONDS"
declare -A FAULTS
for name in "${!PIDS[@]}"; do
    pid=${PIDS[$name]}
    switches "$pid" >"$KD_RUN_DIR/$name.after"
    cpu=$(( $(cpu_ticks "$pid") - CPU0[$name] ))
    woke=$(wakeups "$KD_RUN_DIR/$name.before" "$KD_RUN_DIR/$name.after")
    timers=$(timer_calls "$KD_RUN_DIR/$name.trace")
    live=$(grep -Ec 'Call (user32\.RegisterHotKey|shell32\.Shell_NotifyIconW)\(' "$KD_RUN_DIR/$name.trace")
    faults=
    [ "$cpu" -gt 1 ] && faults+=" cpu"
    [ "$woke" -gt "$WAKE_LIMIT" ] && faults+=" wakeups"
    [ "$timers" -gt 0 ] && faults+=" timer"
    FAULTS[$name]=${faults# }
    echo "idle $name: pid $pid ($(tr '\0' ' ' <"/proc/$pid/cmdline" | cut -c1-40)), ${IDLE_SECONDS} s:" \
         "cpu +$cpu ticks, wake-ups +$woke, threads $(wc -l <"$KD_RUN_DIR/$name.after")," \
         "timer calls $timers, traced hotkey/icon calls $live"
    grep -E 'Call [a-z0-9]+\.[A-Za-z]+\(' "$KD_RUN_DIR/$name.trace" | grep -Ev 'RegisterHotKey|Shell_NotifyIconW' |
        sed 's/^/    /' | cut -c1-160 | head -n 5
done

kd=${PIDS[keydeputy]}
check_match "the process measured is KeyDeputy's own" 'KeyDeputy\.exe' "$(tr '\0' ' ' <"/proc/$kd/cmdline")"
check_eq "KeyDeputy is idle: no CPU beyond 1 tick, no wake-ups, no timer" "" "${FAULTS[keydeputy]}"
check_eq "the trace covers KeyDeputy: its 10 hotkeys and the icon" "11" \
    "$(grep -Ec 'Call (user32\.RegisterHotKey|shell32\.Shell_NotifyIconW)\(' "$KD_RUN_DIR/keydeputy.trace")"
check_eq "KeyDeputy watching its untouched file is idle as well" "" "${FAULTS[watching]}"
check_match "and its folder watch was set" 'FindFirstChangeNotificationW' "$(grep -E 'Call [a-z0-9]+\.FindFirst' "$KD_RUN_DIR/watching.trace")"
check_eq "minimal program without a timer passes" "" "${FAULTS[none]}"
check_match "a 1 s SetTimer is caught (wake-ups and trace)" 'wakeups timer' "${FAULTS[user]}"
check_match "a 1 ms SetTimer shows as CPU time" 'cpu' "${FAULTS[busy]}"
check_match "a timer-queue timer is caught (wake-ups and trace)" 'wakeups timer' "${FAULTS[queue]}"
check_match "a waitable timer is caught (trace)" 'timer' "${FAULTS[waitable]}"
check_match "a multimedia timer is caught (wake-ups and trace)" 'wakeups timer' "${FAULTS[mm]}"

for case in "${CASES[@]}"; do
    IFS='|' read -r name dir exe args <<<"$case"
    caption=KeyDeputy
    [[ $args == *--caption* ]] && caption=$(sed 's/.*--caption \([^ ]*\).*/\1/' <<<"$args")
    [ "$name" = watching ] && caption=idle-watch
    drv post "$caption" 0x10 0 0 >/dev/null
done
for name in "${!PIDS[@]}"; do
    if ! kd_wait_exit "${PIDS[$name]}" 20; then
        e2e_fail "$name ended after WM_CLOSE"
    elif [ "$name" = keydeputy ]; then
        check_eq "KeyDeputy ended with exit code 0" "0" "$KD_EXIT"
    fi
done
