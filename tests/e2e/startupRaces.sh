#!/usr/bin/env bash
# Start-up before anything can run: a hotkey that arrives while a refused hotkey's
# warning is open inside window creation runs nothing (dropped, not queued), and a
# second start with 单实例 是 ends while the first still waits on the Temp question.
. "$(dirname "$0")/e2e.sh"
e2e_begin

CAPTION="KeyDeputy v2.0"

# ----- a hotkey during a creation-time warning -----
make_bat early
kd_install kd
kd_xml kd utf16 <<'EOF_XML'
<KeyDeputy>
<菜单><早 快捷键="Ctrl+Alt+N">C:\kd\early.bat</早><占 快捷键="Ctrl+Alt+J">C:\kd\none.bat</占></菜单>
</KeyDeputy>
EOF_XML
drv_bg "$KD_RUN_DIR/hold.out" hold ctrl+alt+j --seconds 120
holder=$KD_BG_PID
check "the driver holds Ctrl+Alt+J" wait_line "$KD_RUN_DIR/hold.out" holding 15
kd_start kd
check "the refused hotkey's warning is shown" drv box "$CAPTION" --text 热键注册失败 --timeout 15000
check_eq "no icon yet" "0" "$(drv icons)"
# The first item's hotkey (1024) is registered already; a press arrives now.
drv post "$CAPTION" 786 1024 0x4E0003
check_not "the hotkey ran nothing during creation" wait_file "$KD_DRIVE_C/kd/early.txt" 2
drv answer "$CAPTION" ok >/dev/null
check "one icon once created" drv icons 1 --timeout 10000
sleep 1
check_eq "exactly one icon" "1" "$(drv icons)"
check_not "the press was dropped, not run later" test -e "$KD_DRIVE_C/kd/early.txt"
close_program "$CAPTION"
check "the icon is gone after the end" drv icons 0 --timeout 10000
stop_pid "$holder"

# ----- 单实例 是: the second start ends while the first waits on the Temp question -----
ONE="单例临时"
kd_install kd/Temp
kd_xml kd/Temp utf16 <<EOF_XML
<KeyDeputy>
<设置><名称>$ONE</名称><单实例>是</单实例><自启动>是</自启动></设置>
<菜单><甲>C:\\kd\\none.bat</甲></菜单>
</KeyDeputy>
EOF_XML
kd_start kd/Temp
first=$KD_PID
check "the first start asks the Temp question" drv box "$ONE" --timeout 15000
kd_start kd/Temp
second=$KD_PID
if kd_wait_exit "$second" 10; then
    check_eq "the second start ends with code 0" "0" "$KD_EXIT"
else
    e2e_fail "the second start ends while the first waits"
    drv answer "$ONE" no >/dev/null
    stop_pid "$second"
fi
check_eq "one question open" "1" "$(drv boxes "$ONE")"
drv answer "$ONE" no >/dev/null
check "the first instance starts" drv main "$ONE" --timeout 10000
check_eq "one main window" "1" "$(drv main "$ONE" | grep -c .)"
check "the first instance runs on" kd_running "$first"
KD_PID=$first
close_program "$ONE"
