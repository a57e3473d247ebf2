#!/usr/bin/env bash
# A configuration of only the root and the menu: built-in caption, autostart value
# removed, one hidden main window, one tray icon; the tray menu as configured; menu
# commands, the hide-icon toggle and the exit question.
. "$(dirname "$0")/e2e.sh"
e2e_begin

CAPTION="KeyDeputy v2.0"
kd_install kd
make_bat mark
make_bat grey
make_bat checked
kd_xml kd utf16 <<'EOF'
<?xml version="1.0" encoding="UTF-16"?>
<KeyDeputy>
<菜单>
  <标记 可选="否" 选中="是">C:\kd\mark.bat</标记>
  <灰色 可选="否">C:\kd\grey.bat</灰色>
  <工具>
    <选中项 选中="是" 可选="是">C:\kd\checked.bat</选中项>
    <分割条/>
    <未选 选中="否" 可选="">未定义的命令</未选>
  </工具>
  <分割条/>
  <隐藏图标>隐藏图标</隐藏图标>
  <退出程序>退出程序</退出程序>
</菜单>
</KeyDeputy>
EOF
drv reg set "$CAPTION" 'C:\earlier\KeyDeputy.exe'

kd_start kd
check "main window with the built-in caption" drv main "$CAPTION" --timeout 15000
main=$(drv main "$CAPTION")
check_eq "exactly one main window" "1" "$(printf '%s\n' "$main" | grep -c .)"
check_match "the main window is never shown" $'\t0$' "$main"
pid=$(printf '%s\n' "$main" | cut -f2)
check_eq "no other visible window of the program" "" \
    "$(drv list --pid "$pid" | awk -F'\t' '$5 == 1')"
check "one tray icon" drv icons 1 --timeout 5000
check_not "autostart off deletes the value under the caption" drv reg get "$CAPTION"

MENU=$'0\tstring\t1024\tdefault\t标记
1\tstring\t1025\tgrayed\t灰色
2\tpopup\t-\t-\t工具
2/0\tstring\t1026\tchecked\t选中项
2/1\tseparator\t0\t-\t
2/2\tstring\t1027\t-\t未选
3\tseparator\t0\t-\t
4\tstring\t1028\t-\t隐藏图标
5\tstring\t1029\t-\t退出程序'

for button in right left; do
    drv tray "$CAPTION" "$button"
    check_eq "$button button: the tray menu as configured" "$MENU" "$(drv menu --pid "$pid" --timeout 5000)"
    check "$button button: menu closed again" drv endmenu --pid "$pid" --timeout 3000
done
for other in rightup leftup double move; do
    drv tray "$CAPTION" "$other"
done
check_not "button release, double click and move open no menu" drv menu --pid "$pid" --timeout 1500

drv command "$CAPTION" 1024
check "choosing entry 0 runs its command through the shell" wait_file "$KD_DRIVE_C/kd/mark.txt" 10
drv command "$CAPTION" 1026
check "choosing a submenu entry runs its command" wait_file "$KD_DRIVE_C/kd/checked.txt" 10
check_not "no other command ran" test -e "$KD_DRIVE_C/kd/grey.txt"
drv tray "$CAPTION" right
check_eq "choosing a checked entry leaves the menu as it was" "$MENU" "$(drv menu --pid "$pid" --timeout 5000)"
drv endmenu --pid "$pid" --timeout 3000

# Identifiers the menu never hands out: nothing breaks, nothing is shown.
drv command "$CAPTION" 1023
drv command "$CAPTION" 1030
sleep 1
check "unknown identifiers are survived" drv main "$CAPTION" --timeout 500
check_eq "and show no message" "0" "$(drv boxes "$CAPTION")"
# An unopenable command is told, once, and survived.
drv command "$CAPTION" 1027
if box_read "$CAPTION" --timeout 10000; then
    check_match "an unopenable command names itself" '^无法打开“未定义的命令”。\\n.' "$(box_field text)"
    drv answer "$CAPTION" ok >/dev/null
fi
sleep 1
check "an unopenable command is survived" drv main "$CAPTION" --timeout 500
check_eq "and leaves no box open" "0" "$(drv boxes "$CAPTION")"

drv command "$CAPTION" 1028
check "隐藏图标 removes the icon" drv icons 0 --timeout 5000
check "the program keeps running without it" drv main "$CAPTION" --timeout 500
drv command "$CAPTION" 1028
check "隐藏图标 again brings the icon back" drv icons 1 --timeout 5000

drv broadcast TaskbarCreated >/dev/null
sleep 1
check_eq "TaskbarCreated adds no second icon" "1" "$(drv icons)"

drv command "$CAPTION" 1029
if box_read "$CAPTION" --timeout 5000; then
    check_eq "exit question text" "你确认立即退出程序？" "$(box_field text)"
    check_eq "exit question buttons" "yes,no" "$(box_field buttons)"
    check_eq "exit question default button" "no" "$(box_field default)"
    check_eq "exit question icon" "question" "$(box_field icon)"
    drv answer "$CAPTION" no
    sleep 1
    check "answered No: still running" kd_running "$KD_PID"
    check_eq "answered No: icon still there" "1" "$(drv icons)"
else
    e2e_fail "exit question shown"
fi

drv command "$CAPTION" 1029
check "exit question again" drv answer "$CAPTION" yes --timeout 5000
if kd_wait_exit "$KD_PID" 20; then
    check_eq "answered Yes: exit code 0" "0" "$KD_EXIT"
else
    e2e_fail "answered Yes: the program ended"
fi
check "the icon is gone" drv icons 0 --timeout 5000
check "the main window is gone" drv gone "$CAPTION" --timeout 2000
