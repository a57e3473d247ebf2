#!/usr/bin/env bash
# A reminder set while another operation's modal loop is open (the screenshot
# selector, its save dialog, the exit confirmation) does not hold that operation up:
# it finishes the moment the user finishes it.
. "$(dirname "$0")/e2e.sh"
e2e_begin
# Hidden windows cost about 2 s each in managed mode; the timings below are the program's.
kd_unmanaged

CAPTION="KeyDeputy v2.0"
kd_install kd
kd_xml kd utf16 <<'EOF_XML'
<KeyDeputy>
<菜单><截图>屏幕截图</截图><提醒>定时提醒</提醒><退出>退出程序</退出></菜单>
</KeyDeputy>
EOF_XML
SCREENSHOT=1024 REMINDER=1025 QUIT=1026

# The selector: the program's visible dialog without a caption.
selector_open() { drv list --class '#32770' --pid "$KD_WIN_PID" | awk -F'\t' '$3 == "" && $5 == 1' | grep -q .; }
selector_gone() { ! selector_open; }
save_dialog_open() { drv list --class '#32770' | grep -q $'\t另存为\t'; }
set_reminder() {
    drv command "$CAPTION" $REMINDER
    check "$1: reminder set inside it" drv reminder set 喝水 30 --timeout 10000
}

# Each sequence in a program of its own, so that one stalled operation hides no other.
start_program() {
    kd_start kd
    check "$1: program runs" drv icons 1 --timeout 15000
    KD_WIN_PID=$(drv main "$CAPTION" | head -n1 | cut -f2)
}

# ----- the selector, cancelled: 屏幕截图 works again at once -----
start_program "selector"
drv command "$CAPTION" $SCREENSHOT
check "selector opens" wait_for 10 selector_open
set_reminder "selector"
xdotool mousemove 500 400 click 3
check "selector cancelled with the right button" wait_for 10 selector_gone
start=$(date +%s.%N)
drv command "$CAPTION" $SCREENSHOT
if wait_for 5 selector_open; then
    took=$(elapsed "$start")
    check "the selector opens again within 2 s (took $took s)" awk -v t="$took" 'BEGIN { exit !(t <= 2) }'
else
    e2e_fail "the selector opens again"
fi
xdotool mousemove 500 400 click 3
wait_for 10 selector_gone
close_program "$CAPTION"

# ----- the save dialog: the chosen file is written at once -----
start_program "save dialog"
drv command "$CAPTION" $SCREENSHOT
check "selector opens for a region" wait_for 10 selector_open
sleep 0.5
xdotool mousemove 100 100 mousedown 1 mousemove 200 150 mousemove 300 200 mouseup 1
check "save dialog shown" wait_for 10 save_dialog_open
set_reminder "save dialog"
check "file name given" drv save 'C:\kd\shot.png' --timeout 10000
check "the file exists while the program runs" wait_file "$KD_DRIVE_C/kd/shot.png" 5
check "the program still runs" kd_running "$KD_PID"
close_program "$CAPTION"

# ----- the exit confirmation: Yes ends the program at once -----
start_program "exit confirmation"
drv command "$CAPTION" $QUIT
check "exit confirmation shown" drv box "$CAPTION" --timeout 10000
set_reminder "exit confirmation"
drv answer "$CAPTION" yes >/dev/null
start=$(date +%s.%N)
if kd_wait_exit "$KD_PID" 5; then
    e2e_pass "Yes ends the program within 5 s ($(elapsed "$start") s)"
    check_eq "exit code" "0" "$KD_EXIT"
else
    e2e_fail "Yes ends the program within 5 s"
    stop_pid "$KD_PID"
fi

# ----- exit confirmed over the save dialog: the screenshot does nothing more -----
start_program "exit over the save dialog"
drv clipboard set 用户的文字 >/dev/null
drv command "$CAPTION" $SCREENSHOT
check "exit over the save dialog: selector opens" wait_for 10 selector_open
sleep 0.5
xdotool mousemove 100 100 mousedown 1 mousemove 200 150 mousemove 300 200 mouseup 1
check "exit over the save dialog: dialog shown" wait_for 10 save_dialog_open
drv command "$CAPTION" $QUIT
if drv box "$CAPTION" --timeout 10000 >/dev/null; then
    drv answer "$CAPTION" yes >/dev/null
    if kd_wait_exit "$KD_PID" 20; then check_eq "exit over the save dialog: exit code" "0" "$KD_EXIT"
    else e2e_fail "exit over the save dialog: the program ends"; stop_pid "$KD_PID"; fi
    check_eq "exit over the save dialog: the clipboard is as it was" "text=用户的文字" "$(drv clipboard)"
    check_eq "exit over the save dialog: no file written" "" "$(find "$KD_DRIVE_C" -iname 'Screenshot01*')"
else
    e2e_fail "exit over the save dialog: exit confirmation shown"
    stop_pid "$KD_PID"
fi
