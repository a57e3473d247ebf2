#!/usr/bin/env bash
# 设置/名称 is the caption everywhere: main window class and title, every message box,
# the autostart value's name. Message overrides from 语言. Autostart from a folder
# named Temp asks first; No writes nothing, Yes writes the quoted path, which starts
# the program even from a folder whose name has a space.
. "$(dirname "$0")/e2e.sh"
e2e_begin

DEFAULT="KeyDeputy v2.0"
close_main() {
    drv post "$1" 16 0 0
    if kd_wait_exit "$2" 20; then check_eq "closing $1 ends it with code 0" "0" "$KD_EXIT"
    else e2e_fail "closing $1 ends it"; fi
}

# ----- a caption of its own -----
NAME="热键精灵"
kd_install kd/named
kd_xml kd/named utf16 <<'EOF'
<KeyDeputy>
<设置>
  <名称>热键精灵</名称>
  <自启动>是</自启动>
</设置>
<语言>
  <退出程序>
     第一行
第二行 %s
  </退出程序>
  <热键注册>热键「%s」被占用</热键注册>
</语言>
<菜单>
  <被占 快捷键="Ctrl+Alt+J">C:\kd\none.bat</被占>
  <退出程序>退出程序</退出程序>
</菜单>
</KeyDeputy>
EOF
drv reg set "$DEFAULT" 'C:\earlier\KeyDeputy.exe'
drv_bg "$KD_RUN_DIR/hold.out" hold ctrl+alt+j --seconds 120
check "the driver holds Ctrl+Alt+J" wait_line "$KD_RUN_DIR/hold.out" holding 15

kd_start kd/named
named=$KD_PID
if box_read "$NAME" --timeout 15000; then
    check_eq "hotkey warning: the override is a format for the shown text" '热键「被占\tCtrl+Alt+J」被占用' "$(box_field text)"
    drv answer "$NAME" ok
else
    e2e_fail "hotkey warning captioned with the configured name"
fi
check "main window titled with the configured name" drv main "$NAME" --timeout 10000
check_eq "no window with the built-in caption" "" "$(main_windows "$DEFAULT")"
check_eq "autostart value under the configured name" $'REG_SZ\t"C:\\kd\\named\\KeyDeputy.exe"' "$(drv reg get "$NAME")"
check_eq "the value under the built-in name is left alone" $'REG_SZ\tC:\\earlier\\KeyDeputy.exe' "$(drv reg get "$DEFAULT")"

drv command "$NAME" 1025
if box_read "$NAME" --timeout 5000; then
    check_eq "exit question: override over two lines, trimmed, %s literal" '第一行\n第二行 %s' "$(box_field text)"
    check_eq "exit question keeps its buttons" "yes,no" "$(box_field buttons)"
    drv answer "$NAME" yes
    if kd_wait_exit "$named" 20; then check_eq "Yes ends it with code 0" "0" "$KD_EXIT"
    else e2e_fail "Yes ends it"; fi
else
    e2e_fail "exit question captioned with the configured name"
fi
drv reg del "$DEFAULT"

# ----- autostart from a temporary folder -----
TMPNAME="临时测试"
QUESTION="检测到您正在临时文件夹中运行程序，不建议你执行此操作。"
kd_install kd/Temp
kd_xml kd/Temp utf16 <<'EOF'
<KeyDeputy>
<设置><名称>临时测试</名称><自启动>是</自启动></设置>
<菜单><甲>C:\kd\none.bat</甲></菜单>
</KeyDeputy>
EOF
for answer in no yes; do
    kd_start kd/Temp
    pid=$KD_PID
    if ! box_read "$TMPNAME" --timeout 15000; then
        e2e_fail "Temp folder ($answer): the question is asked"
        continue
    fi
    check_eq "Temp folder ($answer): question text" "$QUESTION" "$(box_field text)"
    check_eq "Temp folder ($answer): buttons" "yes,no" "$(box_field buttons)"
    check_eq "Temp folder ($answer): No is the default" "no" "$(box_field default)"
    check_eq "Temp folder ($answer): information icon" "information" "$(box_field icon)"
    check_eq "Temp folder ($answer): asked before the main window exists" "" "$(main_windows "$TMPNAME")"
    drv answer "$TMPNAME" "$answer"
    check "Temp folder ($answer): the program starts after the answer" drv main "$TMPNAME" --timeout 10000
    if [ "$answer" = no ]; then
        check_not "Temp folder, No: nothing written" drv reg get "$TMPNAME"
    else
        check_eq "Temp folder, Yes: the quoted path is written" $'REG_SZ\t"C:\\kd\\Temp\\KeyDeputy.exe"' "$(drv reg get "$TMPNAME")"
    fi
    close_main "$TMPNAME" "$pid"
done

# The test is case-sensitive: a folder named with temp asks nothing. Its name has
# a space, and a decoy (the driver, which ends at once on such arguments) waits
# where an unquoted value would start instead: C:\kd\lower.exe.
kd_install "kd/lower temp"
cp "$KD_DRIVER" "$(unix_path kd/lower.exe)"
kd_xml "kd/lower temp" utf16 <<'EOF'
<KeyDeputy>
<设置><名称>小写临时</名称><自启动>是</自启动></设置>
<菜单><甲>C:\kd\none.bat</甲></菜单>
</KeyDeputy>
EOF
kd_start "kd/lower temp"
pid=$KD_PID
check "lower-case temp: starts without a question" drv main "小写临时" --timeout 15000
check_eq "lower-case temp: no question" "0" "$(drv boxes "小写临时")"
value=$(drv reg get "小写临时")
check_eq "lower-case temp: the quoted path is written" $'REG_SZ\t"C:\\kd\\lower temp\\KeyDeputy.exe"' "$value"
close_main "小写临时" "$pid"
# Started from the value's text as the shell does at log-on: the icon comes, WM_CLOSE ends it with 0.
if drv startup --timeout 20000 "${value#REG_SZ$'\t'}" >"$KD_RUN_DIR/fromrun.tsv"; then
    check_match "the value starts the program, not the decoy" $'^1\t0(\t[0-9.]+){4}\t0\r?$' \
        "$(tail -n 1 "$KD_RUN_DIR/fromrun.tsv")"
else
    e2e_fail "the value starts the program, not the decoy" "$(cat "$KD_RUN_DIR/fromrun.tsv")"
fi

# ----- a caption that names a system window class -----
# The program's boxes keep working, and 退出程序 ends it only on Yes. Driven by its
# hotkey and seen through its icon and boxes, whatever class its window has.
kd_install kd/button
kd_xml kd/button utf16 <<'EOF_XML'
<KeyDeputy>
<设置><名称>Button</名称><单实例>是</单实例></设置>
<菜单><退出 快捷键="Ctrl+Alt+Q">退出程序</退出></菜单>
</KeyDeputy>
EOF_XML
kd_start kd/button
pid=$KD_PID
check "caption Button: one tray icon" drv icons 1 --timeout 15000
# A second start with the same caption still finds the first.
kd_start kd/button
if kd_wait_exit "$KD_PID" 20; then check_eq "caption Button: a second start ends at once" "0" "$KD_EXIT"
else e2e_fail "caption Button: a second start ends at once"; stop_pid "$KD_PID"; fi
for answer in no yes; do
    press_keys ctrl+alt+q
    if ! box_read Button --timeout 10000; then
        e2e_fail "caption Button ($answer): exit asks first"
        break
    fi
    check_eq "caption Button ($answer): Yes and No" "yes,no" "$(box_field buttons)"
    drv answer Button "$answer" >/dev/null
    if [ "$answer" = no ]; then
        sleep 1
        check "caption Button: No keeps it running" kd_running "$pid"
        check_eq "caption Button: No keeps its one icon" "1" "$(drv icons)"
    elif kd_wait_exit "$pid" 20; then
        check_eq "caption Button: Yes ends it with code 0" "0" "$KD_EXIT"
        check "caption Button: no icon left" drv icons 0 --timeout 5000
    else
        e2e_fail "caption Button: Yes ends it"
    fi
done
kd_running "$pid" && stop_pid "$pid"
