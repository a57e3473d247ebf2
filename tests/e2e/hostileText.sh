#!/usr/bin/env bash
# Hostile texts: 100,000-character caption, balloon, messages, labels and commands, and
# labels and commands at their limits; every malformed entity and character reference
# (load report with its line and column) and the accepted forms; printf directives in
# every message override.
. "$(dirname "$0")/e2e.sh"
e2e_begin
kd_unmanaged
kd_keep_desktop

REPORT="配置文件解析错误"
kd_install kd

# answer_one NAME CAPTION ANSWER TEXT BUTTONS: the next box with CAPTION shows exactly
# TEXT (escaped as the driver prints it) and BUTTONS; it is then answered with ANSWER.
answer_one() {
    local out
    out=$(drv drain "$2" "$3" --count 1 --timeout 30000)
    if [ $? -ne 0 ]; then
        e2e_fail "$1: box shown" "$out"
        return 1
    fi
    out=$(printf '%s\n' "$out" | head -n1)
    check_eq "$1: text" "$4" "$(printf '%s' "$out" | cut -f3)"
    check_eq "$1: buttons" "$5" "$(printf '%s' "$out" | cut -f2)"
}

# ----- 100,000 characters -----
data=$KD_RUN_DIR/long
mkdir -p "$data"
perl "$E2E_DIR/hostile/longTextConfig.pl" "$data"
kd_xml kd utf16 <"$data/config.xml"
CAPTION=$(cat "$data/caption.txt")
make_bat sub
drv_bg "$KD_RUN_DIR/hold.out" hold ctrl+alt+j --seconds 120
holder=$KD_BG_PID
check "the driver holds Ctrl+Alt+J" wait_line "$KD_RUN_DIR/hold.out" holding 15

started=$(date +%s.%N)
kd_start kd
# Both refusals in one box: each line cut to 255, then its reason.
answer_one "long 热键注册 override cut to 255; a 100,000-character label, its first 255 characters" "$CAPTION" ok \
    "$(cat "$data/hotkey1.txt")（已被其他程序占用）\\n$(cat "$data/hotkey2.txt")（已被其他程序占用）" ok
check "100,000 characters: the icon is added" drv icons 1 --timeout 20000
echo "time: long texts, start to icon $(elapsed "$started") s"
check "名称 cut to 63 characters: main window class and title" drv main "$CAPTION" --timeout 5000
pid=$(drv main "$CAPTION" | head -n1 | cut -f2)
check_not "名称 cut to 63: no autostart value under that name" drv reg get "$CAPTION"
balloon=
for ((i = 0; i < 40; i++)); do
    balloon=$(drv list --class tooltips_class32 | awk -F'\t' '$5 == 1 && $3 != "" { print $3 }')
    [ -n "$balloon" ] && break
    sleep 0.25
done
check_eq "内容 cut to 255 characters in the balloon" "$(cat "$data/balloon.txt")" "$balloon"

drv tray "$CAPTION" right
check_eq "menu: labels cut to 255, long commands left out, submenu names whole" "$(cat "$data/menu.txt")" \
    "$(drv menu --pid "$pid" --timeout 10000)"
drv endmenu --pid "$pid" --timeout 3000 >/dev/null
check "the cut label's hotkey is registered from the whole attribute" drv hotkey ctrl+alt+w

drv command "$CAPTION" 1027
answer_one "the 1023-character command runs: long 分辨率 message shown whole" "$CAPTION" ok \
    "$(cat "$data/resolution.txt")" ok
drv command "$CAPTION" 1032
check "the long submenu's item runs its command" wait_file "$KD_DRIVE_C/kd/sub.txt" 10
drv command "$CAPTION" 1033
answer_one "long 退出程序 question shown whole" "$CAPTION" no "$(cat "$data/exit.txt")" yes,no
check "answered No: still running" drv main "$CAPTION" --timeout 1000
close_program "$CAPTION"
stop_pid "$holder"

# ----- entities and character references -----
# err_text NAME TEXT COLUMN: TEXT as the content of an element on line 3, whose end tag
# is where the reader notices the problem: COLUMN is just after its "</".
err_text() {
    printf '<KeyDeputy>\n<菜单>\n  <甲>%s</甲>\n</菜单>\n</KeyDeputy>\n' "$2" | kd_xml kd utf16
    expect_load_report "$1" "$(report_text "错误: 未知字符集" 3 "$3")"
}
# err_attr NAME VALUE COLUMN: VALUE as a quoted 快捷键 value on line 3; COLUMN is just
# after the closing quote.
err_attr() {
    printf '<KeyDeputy>\n<菜单>\n  <甲 快捷键="%s">x</甲>\n</菜单>\n</KeyDeputy>\n' "$2" | kd_xml kd utf16
    expect_load_report "$1" "$(report_text "错误: 未知字符集" 3 "$3")"
}
err_text "unknown entity name" '&bogus;' 15
err_text "HTML entity unknown to XML" '&nbsp;' 14
err_text "named entity without ;" '&amp' 12
err_text "decimal reference without ;" '&#65' 12
err_text "hexadecimal reference without ;" '&#x41' 13
err_text "letter in a decimal reference" '&#6a;' 13
err_text "non-hex digit in a hexadecimal reference" '&#x4g;' 14
err_text "blank in a reference" '&# 65;' 14
err_text "bare & in text" 'Tom & Jerry' 19
err_text "& at the end of a text" 'abc&' 12
err_text "&# at the end of a text" 'abc&#' 13
err_attr "bare & in a quoted attribute value" 'Ctrl&Alt+K' 22
err_attr "unknown entity in a quoted attribute value" '&bogus;' 19
# Unquoted, the value ends at '>', which is where the reader stands: column 12.
printf '<KeyDeputy>\n<菜单>\n  <甲 可选=a&b>x</甲>\n</菜单>\n</KeyDeputy>\n' | kd_xml kd utf16
expect_load_report "bare & in an unquoted attribute value" "$(report_text "错误: 未知字符集" 3 12)"
# A text over two lines is checked at its end: line 4, just after "</".
printf '<KeyDeputy>\n<菜单>\n  <甲>第一行\n&bogus;</甲>\n</菜单>\n</KeyDeputy>\n' | kd_xml kd utf16
expect_load_report "entity error in a text over two lines" "$(report_text "错误: 未知字符集" 4 10)"
# Columns count characters, not the bytes of an 8-bit (code page 936) file.
printf '<KeyDeputy>\n<菜单>\n  <甲>中文 & 英文</甲>\n</菜单>\n</KeyDeputy>\n' | kd_xml kd ansi
expect_load_report "bare & in a code page 936 file" "$(report_text "错误: 未知字符集" 3 15)"

# Accepted forms. &#; and &#x; have no digits: they stand for the value 0, a NUL unit,
# which ends the text wherever it is used. Nothing in a comment is decoded, and element
# names are taken as written.
kd_xml kd utf16 <<'EOF'
<KeyDeputy>
<语言>
  <退出程序>&AMP;&#65;&#x41;&lt;&Gt;&quot;&apos;&#65601;&#x10041;</退出程序>
  <热键注册>%s&#;不显示</热键注册>
</语言>
<!-- Tom & Jerry &bogus; &#x; -->
<菜单>
  <首项 快捷键="Ctrl&#43;Alt&#x2b;&#65;">C:\kd\&#65;&#x42;.bat</首项>
  <与号 快捷键="Ctrl+Alt+&AMP;">C:\kd\amp.bat</与号>
  <截断 快捷键="Ctrl+Alt+K&#;xyz">C:\kd\cut.bat&#x;tail</截断>
  <名&amp;字>C:\kd\name.bat</名&amp;字>
  <退出>退出程序</退出>
</菜单>
</KeyDeputy>
EOF
CAPTION="KeyDeputy v2.0"
make_bat AB
make_bat cut
kd_start kd
answer_one "&AMP; in a hotkey; &#; ends the 热键注册 format" "$CAPTION" ok '与号\tCtrl+Alt+&（“&”不是按键名）' ok
check "accepted forms: the icon is added" drv icons 1 --timeout 10000
pid=$(drv main "$CAPTION" --timeout 5000 | head -n1 | cut -f2)
drv tray "$CAPTION" right
expected=$'0\tstring\t1024\tdefault\t首项\\tCtrl+Alt+A
1\tstring\t1025\t-\t与号\\tCtrl+Alt+&（未注册）
2\tstring\t1026\t-\t截断\\tCtrl+Alt+K
3\tstring\t1027\t-\t名&amp;字
4\tstring\t1028\t-\t退出'
check_eq "accepted forms: the menu texts" "$expected" "$(drv menu --pid "$pid" --timeout 5000)"
drv endmenu --pid "$pid" --timeout 3000 >/dev/null
check "references in a hotkey: Ctrl+Alt+A is registered" drv hotkey ctrl+alt+a
check "&#; in a hotkey: Ctrl+Alt+K is registered" drv hotkey ctrl+alt+k
drv command "$CAPTION" 1024
check "references in a command: C:\\kd\\AB.bat runs" wait_file "$KD_DRIVE_C/kd/AB.txt" 10
drv command "$CAPTION" 1026
check "&#x; in a command: C:\\kd\\cut.bat runs" wait_file "$KD_DRIVE_C/kd/cut.txt" 10
drv command "$CAPTION" 1028
answer_one "the five entities in capitals and cut 16-bit references" "$CAPTION" yes "&AA<>\"'AA" yes,no
if kd_wait_exit "$KD_PID" 20; then check_eq "accepted forms: Yes ends it with code 0" "0" "$KD_EXIT"
else e2e_fail "accepted forms: Yes ends it"; stop_pid "$KD_PID"; fi

# ----- printf directives in every message override -----
FORMAT='%s%s%n%d'
kd_install kd/Temp
kd_xml kd/Temp utf16 <<'EOF'
<KeyDeputy>
<设置><自启动>是</自启动></设置>
<语言>
  <热键注册>%s%s%n%d</热键注册>
  <退出程序>%s%s%n%d</退出程序>
  <强制关机>%s%s%n%d</强制关机>
  <屏幕截图>%s%s%n%d</屏幕截图>
  <定时提醒>%s%s%n%d</定时提醒>
  <分辨率>%s%s%n%d</分辨率>
  <自启动>%s%s%n%d</自启动>
</语言>
<菜单>
  <被占 快捷键="Ctrl+Alt+J">x</被占>
  <%s%n 快捷键="Ctrl+Alt+J">x</%s%n>
  <分辨率>分辨率(1280,1024)</分辨率>
  <关机>强制关机</关机>
  <提醒>定时提醒</提醒>
  <截图>屏幕截图</截图>
  <退出>退出程序</退出>
</菜单>
</KeyDeputy>
EOF
drv_bg "$KD_RUN_DIR/hold2.out" hold ctrl+alt+j --seconds 120
holder=$KD_BG_PID
check "the driver holds Ctrl+Alt+J again" wait_line "$KD_RUN_DIR/hold2.out" holding 15
kd_start kd/Temp
answer_one "自启动 override shown literally" "$CAPTION" no "$FORMAT" yes,no
answer_one "热键注册: the label in place of the first %s only; a label holding %s is not formatted again" \
    "$CAPTION" ok '被占\tCtrl+Alt+J%s%n%d（已被其他程序占用）\n%s%n\tCtrl+Alt+J%s%n%d（已被其他程序占用）' ok
check "printf directives: the icon is added" drv icons 1 --timeout 10000
check_not "autostart answered No: nothing written" drv reg get "$CAPTION"
drv command "$CAPTION" 1026
answer_one "分辨率 override shown literally" "$CAPTION" ok "$FORMAT" ok
drv command "$CAPTION" 1027
answer_one "强制关机 override shown literally" "$CAPTION" no "$FORMAT" yes,no
check "强制关机 answered No: still running" drv main "$CAPTION" --timeout 1000

pid=$(drv main "$CAPTION" | head -n1 | cut -f2)
drv command "$CAPTION" 1029
# The selector is the program's visible full-screen dialog; a drag along one row
# selects nothing (a plain click cancels without a box).
selector=
for ((i = 0; i < 50; i++)); do
    selector=$(drv list --pid "$pid" --class '#32770' | awk -F'\t' '$5 == 1')
    [ -n "$selector" ] && break
    sleep 0.1
done
check "屏幕截图: the selector opens" test -n "$selector"
sleep 0.5
xdotool mousemove 200 200 mousedown 1 mousemove 250 200 mousemove 300 200 mouseup 1
answer_one "屏幕截图 override shown literally" "$CAPTION" ok "$FORMAT" ok

drv command "$CAPTION" 1028
check "定时提醒: the dialog opens" drv box "KeyDeputy定时提醒" --timeout 10000
# OK with no minutes: the dialog stays open for a correction, so the driver reports it
# still there; the message is what counts.
drv answer "KeyDeputy定时提醒" ok --timeout 300 >/dev/null 2>&1
answer_one "定时提醒 override shown literally" "$CAPTION" ok "$FORMAT" ok

drv command "$CAPTION" 1030
answer_one "退出程序 override shown literally" "$CAPTION" yes "$FORMAT" yes,no
if kd_wait_exit "$KD_PID" 20; then check_eq "printf directives: Yes ends it with code 0" "0" "$KD_EXIT"
else e2e_fail "printf directives: Yes ends it"; stop_pid "$KD_PID"; fi
stop_pid "$holder"
