#!/usr/bin/env bash
# The single-instance rule: on, a second start with the same caption ends at once with
# code 0 and touches nothing; a different caption runs beside it. Off, a second start
# runs too, and is refused the hotkeys the first one holds.
. "$(dirname "$0")/e2e.sh"
e2e_begin

# close_main CAPTION PID SHELLPID: closes a main window as the system would; the program
# ends through its window's destruction.
close_main() {
    drv post "$1" 16 0 0 --pid "$2"
    if kd_wait_exit "$3" 20; then
        check_eq "closing $1 ($2) ends it with code 0" "0" "$KD_EXIT"
    else
        e2e_fail "closing $1 ($2) ends it"
    fi
}
main_pid() { drv main "$1" "${@:2}" | head -n1 | cut -f2; }

# ----- on -----
ONE="单例测试"
kd_install kd/one
kd_xml kd/one utf16 <<EOF
<KeyDeputy>
<设置>
  <名称>$ONE</名称>
  <单实例>
     是
  </单实例>
  <自启动>是</自启动>
</设置>
<菜单><甲>C:\\kd\\none.bat</甲></菜单>
</KeyDeputy>
EOF
kd_start kd/one
first=$KD_PID
check "first instance runs" drv main "$ONE" --timeout 15000
first_pid=$(main_pid "$ONE")
check_eq "first instance wrote its autostart value" $'REG_SZ\t"C:\\kd\\one\\KeyDeputy.exe"' "$(drv reg get "$ONE")"
drv reg del "$ONE"

kd_start kd/one
if kd_wait_exit "$KD_PID" 10; then
    check_eq "second start with the same caption ends with code 0" "0" "$KD_EXIT"
else
    e2e_fail "second start with the same caption ends at once"
fi
check_not "the second start did not touch autostart" drv reg get "$ONE"
check "the first instance keeps running" kd_running "$first"
check_eq "still one main window" "1" "$(drv main "$ONE" | grep -c .)"
check_eq "still one tray icon" "1" "$(drv icons)"
check_eq "the second start showed nothing" "0" "$(drv boxes "$ONE")"

TWO="单例测试二"
kd_install kd/two
kd_xml kd/two utf16 <<EOF
<KeyDeputy>
<设置><名称>$TWO</名称><单实例>是</单实例></设置>
<菜单><乙>C:\\kd\\none.bat</乙></菜单>
</KeyDeputy>
EOF
kd_start kd/two
other=$KD_PID
check "a copy with another caption runs beside it" drv main "$TWO" --timeout 15000
check "each with its own tray icon" drv icons 2 --timeout 5000
close_main "$TWO" "$(main_pid "$TWO")" "$other"
close_main "$ONE" "$first_pid" "$first"
check "closing removed both icons" drv icons 0 --timeout 5000

# ----- off (an English yes is no) -----
CAPTION="KeyDeputy v2.0"
make_bat mark
kd_install kd/multi
kd_xml kd/multi utf16 <<'EOF'
<KeyDeputy>
<设置><单实例>yes</单实例></设置>
<菜单><记号 快捷键="Ctrl+Alt+N">C:\kd\mark.bat</记号></菜单>
</KeyDeputy>
EOF
kd_start kd/multi
first=$KD_PID
check "first instance runs" drv main "$CAPTION" --timeout 15000
check "first instance has its icon" drv icons 1 --timeout 5000
first_pid=$(main_pid "$CAPTION")
check_eq "first instance was refused nothing" "0" "$(drv boxes "$CAPTION")"

kd_start kd/multi
second=$KD_PID
if box_read "$CAPTION" --timeout 15000; then
    check_eq "second instance is refused the hotkey" '记号\tCtrl+Alt+N\t热键注册失败！（已被其他程序占用）' "$(box_field text)"
    check_match "the warning comes from the second instance" "^[0-9]+$" "$(box_field pid)"
    [ "$(box_field pid)" != "$first_pid" ] && e2e_pass "warning not from the first instance" ||
        e2e_fail "warning not from the first instance" "pid $(box_field pid)"
    drv answer "$CAPTION" ok
else
    e2e_fail "second instance shows the hotkey warning"
fi
check "second instance runs on" drv icons 2 --timeout 5000
check_eq "two main windows" "2" "$(drv main "$CAPTION" | grep -c .)"
check "both processes alive" bash -c "kill -0 $first && kill -0 $second"
press_keys ctrl+alt+n
check "the hotkey still works for the first instance" wait_file "$KD_DRIVE_C/kd/mark.txt" 10
second_pid=$(drv main "$CAPTION" | cut -f2 | grep -vx "$first_pid" | head -n1)
close_main "$CAPTION" "$second_pid" "$second"
close_main "$CAPTION" "$first_pid" "$first"
