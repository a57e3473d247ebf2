#!/usr/bin/env bash
# Hotkeys from an 8-bit (code page 936) configuration: the refused hotkeys are reported
# in one box, in document order and each with its reason, before the tray icon is added,
# and marked in the menu; the registered ones run their entry's command when typed on
# the X display, a greyed entry's too.
. "$(dirname "$0")/e2e.sh"
e2e_begin

CAPTION="KeyDeputy v2.0"
kd_install kd
make_bat mark
make_bat sub
make_bat held
kd_xml kd ansi <<'EOF'
<KeyDeputy>
<菜单>
  <首项>C:\kd\first.bat</首项>
  <记号 快捷键="Ctrl+Alt+N" 可选="否">C:\kd\mark.bat</记号>
  <被占 快捷键="Ctrl+Alt+J">C:\kd\held.bat</被占>
  <无修饰 快捷键="+F5">x</无修饰>
  <重复 快捷键="ctrl+alt+n">y</重复>
  <工具 快捷键="Ctrl+Alt+T"><二级 快捷键="Shift+Alt+M">C:\kd\sub.bat</二级></工具>
</菜单>
</KeyDeputy>
EOF

# Someone else holds Ctrl+Alt+J before the program starts.
drv_bg "$KD_RUN_DIR/hold.out" hold ctrl+alt+j --seconds 120
holder=$KD_BG_PID
check "the driver holds Ctrl+Alt+J" wait_line "$KD_RUN_DIR/hold.out" holding 15

kd_start kd
# Two clashes (another program, an earlier item) and an unreadable text, in one box.
if box_read "$CAPTION" --timeout 15000; then
    check_eq "one warning names every refused hotkey with its reason" \
        '被占\tCtrl+Alt+J\t热键注册失败！（已被其他程序占用）\n无修饰\t+F5\t热键注册失败！（没有 Ctrl、Alt、Shift 或 Win）\n重复\tctrl+alt+n\t热键注册失败！（与“记号”的热键相同）' \
        "$(box_field text)"
    check_eq "the warning has only OK" "ok" "$(box_field buttons)"
    check_eq "the warning shows the warning icon" "warning" "$(box_field icon)"
    check_eq "no tray icon yet while the warning is open" "0" "$(drv icons)"
    check "the registered hotkeys are held meanwhile" drv hotkey ctrl+alt+n
    drv answer "$CAPTION" ok
else
    e2e_fail "warning for the refused hotkeys shown"
fi
check "after the warning the icon is added" drv icons 1 --timeout 5000
sleep 0.5
check_eq "no further warning" "0" "$(drv boxes "$CAPTION")"

main=$(drv main "$CAPTION" --timeout 5000)
pid=$(printf '%s\n' "$main" | head -n1 | cut -f2)
drv tray "$CAPTION" right
menu=$(drv menu --pid "$pid" --timeout 5000)
drv endmenu --pid "$pid" --timeout 3000
expected=$'0\tstring\t1024\tdefault\t首项
1\tstring\t1025\tgrayed\t记号\\tCtrl+Alt+N
2\tstring\t1026\t-\t被占\\tCtrl+Alt+J（未注册）
3\tstring\t1027\t-\t无修饰\\t+F5（未注册）
4\tstring\t1028\t-\t重复\\tctrl+alt+n（未注册）
5\tpopup\t-\t-\t工具
5/0\tstring\t1029\t-\t二级\\tShift+Alt+M'
check_eq "menu shows hotkey texts as written, refused ones marked" "$expected" "$menu"

check "Shift+Alt+M is registered" drv hotkey shift+alt+m
check_not "a submenu's hotkey attribute registers nothing" drv hotkey ctrl+alt+t
check_not "a key without modifier is not registered" drv hotkey f5

press_keys ctrl+alt+n
check "Ctrl+Alt+N typed runs the greyed entry's command" wait_file "$KD_DRIVE_C/kd/mark.txt" 10
press_keys shift+alt+m
check "Shift+Alt+M typed runs the submenu entry's command" wait_file "$KD_DRIVE_C/kd/sub.txt" 10
press_keys ctrl+alt+j
sleep 1
check "Ctrl+Alt+J typed reaches the holder" grep -q $'^pressed\tctrl+alt+j' "$KD_RUN_DIR/hold.out"
check_not "and not the program" test -e "$KD_DRIVE_C/kd/held.txt"

stop_pid "$holder"
check_not "a refused hotkey is not retried once free" drv hotkey ctrl+alt+j
drv command "$CAPTION" 1026
check "the refused item still works from the menu" wait_file "$KD_DRIVE_C/kd/held.txt" 10
