#!/usr/bin/env bash
# No power operation without the user's consent: a forced shutdown or restart whose
# confirmation ends because the program is quitting (the exit action, or WM_CLOSE to
# the main window) does not run, and neither does a reminder's log-off whose text box
# ends that way. Wine does not carry out NtShutdownSystem but traces it
# (fixme:ntdll); a forced log-off would end every other process of the prefix.
. "$(dirname "$0")/e2e.sh"
e2e_begin

CAPTION="KeyDeputy v2.0"
SHUTDOWN_QUESTION="危险性"
EXIT_QUESTION="你确认立即退出程序？"
SHUTDOWN_TRACE="fixme:ntdll:NtShutdownSystem"
kd_install kd
kd_xml kd utf16 <<'EOF_XML'
<KeyDeputy>
<菜单><关机>强制关机</关机><重启>强制重启</重启><提醒>定时提醒</提醒><退出>退出程序</退出></菜单>
</KeyDeputy>
EOF_XML
POWER_OFF=1024 RESTART=1025 REMINDER=1026 QUIT=1027

# start_traced NAME: the program with ntdll's fixme messages in $KD_RUN_DIR/NAME.err,
# up to its tray icon.
start_traced() {
    TRACE="$KD_RUN_DIR/$1.err"
    WINEDEBUG=-all,fixme+ntdll kd_start kd "$TRACE"
    check "$1: program runs" drv icons 1 --timeout 15000
}

# expect_end NAME: the program ends with code 0 and never reached the shutdown call.
expect_end() {
    if kd_wait_exit "$KD_PID" 20; then
        check_eq "$1: exit code" "0" "$KD_EXIT"
    else
        e2e_fail "$1: the program ends"
        stop_pid "$KD_PID"
    fi
    check_not "$1: no shutdown call" grep -q "$SHUTDOWN_TRACE" "$TRACE"
}

# The trace shows a shutdown that does run: Yes to the confirmation.
start_traced yes
drv command "$CAPTION" $POWER_OFF
check "yes: confirmation shown" drv answer "$CAPTION" yes --text "$SHUTDOWN_QUESTION" --timeout 10000
check "yes: the trace shows the shutdown call" wait_for 15 grep -q "$SHUTDOWN_TRACE" "$TRACE"
close_program "$CAPTION"

# 退出程序 chosen and confirmed while the confirmation is open.
start_traced quit
drv command "$CAPTION" $POWER_OFF
check "quit: confirmation shown" drv box "$CAPTION" --text "$SHUTDOWN_QUESTION" --timeout 10000
drv command "$CAPTION" $QUIT
check "quit: exit confirmed inside it" drv answer "$CAPTION" yes --text "$EXIT_QUESTION" --timeout 10000
expect_end "quit during the shutdown confirmation"

# Another program closes the main window while the restart confirmation is open.
start_traced close
drv command "$CAPTION" $RESTART
check "WM_CLOSE: confirmation shown" drv box "$CAPTION" --text "$SHUTDOWN_QUESTION" --timeout 10000
drv post "$CAPTION" 16 0 0
expect_end "WM_CLOSE during the restart confirmation"

# A reminder's text is shown, 注销 chosen; the user quits instead of closing it.
drv_bg "$KD_RUN_DIR/bystander.out" window kd-bystander --seconds 120
bystander=$KD_BG_PID
check "bystander runs" wait_line "$KD_RUN_DIR/bystander.out" ready 15
start_traced reminder
drv command "$CAPTION" $REMINDER
check "reminder set with log-off" drv reminder set 该下班了 1 logoff --timeout 10000
check "reminder's time is up" drv reminder fire
check "reminder's text shown" drv box "$CAPTION" --text 该下班了 --timeout 10000
drv command "$CAPTION" $QUIT
check "reminder: exit confirmed inside its box" drv answer "$CAPTION" yes --text "$EXIT_QUESTION" --timeout 10000
if kd_wait_exit "$KD_PID" 20; then
    check_eq "reminder: exit code" "0" "$KD_EXIT"
else
    e2e_fail "reminder: the program ends"
    stop_pid "$KD_PID"
fi
sleep 1
# Last: after a log-off a driver call would start Wine's desktop anew inside $(...)
# and hold its pipe (tests/README.md).
check "no log-off: the bystander survives" kd_running "$bystander"
stop_pid "$bystander"
