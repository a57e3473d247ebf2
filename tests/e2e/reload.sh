#!/usr/bin/env bash
# 编辑配置 and 重新加载配置: a changed file is checked first and applied whole; a broken
# one changes nothing; a reload inside the selector and a reminder's box; a pending
# reminder survives it; 自动重新加载; a second start with 单实例 是; a file without a
# tray menu gets the built-in one.
. "$(dirname "$0")/e2e.sh"
e2e_begin
kd_unmanaged
kd_keep_desktop

CAPTION="KeyDeputy v2.0"
kd_install kd
for name in old new b1; do make_bat "$name"; done

# Item 1 is an action in the first file and a shell command in the second: a handler
# cached after its return must not land on the new item of that number.
first_file() {
    kd_xml kd utf16 <<'EOF_XML'
<KeyDeputy>
<菜单><旧项 快捷键="Ctrl+Shift+J">C:\kd\old.bat</旧项><截图>屏幕截图</截图><提醒>定时提醒</提醒><重载>重新加载配置</重载><退出>退出程序</退出></菜单>
</KeyDeputy>
EOF_XML
}
second_file() {
    kd_xml kd ansi <<'EOF_XML'
<KeyDeputy>
<菜单><新项 快捷键="Ctrl+Shift+K">C:\kd\new.bat</新项><批处理>C:\kd\b1.bat</批处理><提醒>定时提醒</提醒><重载>重新加载配置</重载><退出>退出程序</退出></菜单>
</KeyDeputy>
EOF_XML
}
ITEM0=1024 ITEM1=1025 REMINDER=1026 RELOAD=1027

balloons() { drv list --class tooltips_class32 | awk -F'\t' '$5 == 1 && $3 != "" { print $3 }'; }
balloon_matches() { [[ $(balloons) =~ $1 ]]; }
selector_open() { drv list --class '#32770' --pid "$KD_WIN_PID" | awk -F'\t' '$3 == "" && $5 == 1' | grep -q .; }
selector_gone() { ! selector_open; }
held() { drv hotkey "$1" >/dev/null; }
free_combo() { ! held "$1"; }
start_program() {
    kd_start kd
    check "$1: program runs" drv icons 1 --timeout 15000
    KD_WIN_PID=$(drv main "$CAPTION" | head -n1 | cut -f2)
}
fresh() { rm -f "$KD_DRIVE_C"/kd/*.txt; }
# refused_reload NAME: 重新加载配置 on a file that is refused. Its report is read into
# KD_BOX and answered; item 0 must still run the running file's command, not the refused one's.
refused_reload() {
    drv command "$CAPTION" $RELOAD
    if ! box_read "配置文件解析错误" --timeout 10000; then
        e2e_fail "$1: the load report is shown"
        return 1
    fi
    drv answer "配置文件解析错误" ok >/dev/null
    fresh
    drv command "$CAPTION" $ITEM0
    check "$1: the item still runs its command" wait_file "$KD_DRIVE_C/kd/new.txt" 10
    check_not "$1: not the refused file's" test -e "$KD_DRIVE_C/kd/old.txt"
}

# ----- a changed file, reloaded from the menu -----
first_file
start_program "first file"
check "the first file's hotkey is held" held ctrl+shift+j
second_file
drv command "$CAPTION" $RELOAD
check "reload: the new hotkey is taken" wait_for 10 held ctrl+shift+k
check "reload: the old hotkey is free" free_combo ctrl+shift+j
check "reload: a balloon confirms it" wait_for 8 balloon_matches '^配置已重新加载'
check_eq "reload: with 5 items and 1 hotkey" "配置已重新加载：5 个菜单项，1 个热键。" "$(balloons)"
drv tray "$CAPTION" right
menu=$(drv menu --pid "$KD_WIN_PID" --timeout 5000)
drv endmenu --pid "$KD_WIN_PID" --timeout 3000 >/dev/null
check_eq "reload: the menu is the new file's" $'0\tstring\t1024\tdefault\t新项\\tCtrl+Shift+K\n1\tstring\t1025\t-\t批处理\n2\tstring\t1026\t-\t提醒\n3\tstring\t1027\t-\t重载\n4\tstring\t1028\t-\t退出' "$menu"
fresh
drv command "$CAPTION" $ITEM0
check "reload: the new item runs its new command" wait_file "$KD_DRIVE_C/kd/new.txt" 10
check_not "reload: the old command is gone" test -e "$KD_DRIVE_C/kd/old.txt"

# ----- a broken file changes nothing -----
kd_xml kd utf16 <<'EOF_XML'
<KeyDeputy>
<菜单><坏>Tom & Jerry</坏></菜单>
</KeyDeputy>
EOF_XML
refused_reload "broken file"
check_eq "broken file: the load report, its cause at the real position, one line more" \
    "$(report_text "错误: 未知字符集" 2 21)原因：第 2 行第 12 列，这个“&”不是有效的字符引用的开头\n改法：写成 &amp;；程序把错误报告在后面的标签处，真正的原因在这里\n正在运行的配置保持不变。" \
    "$(box_field text)"
check_eq "broken file: OK only" "ok" "$(box_field buttons)"
check "broken file: the program still runs" kd_running "$KD_PID"
check "broken file: the hotkey is still held" held ctrl+shift+k
# Refused, yet read into a tree (an end tag closes an unclosed item): the report
# explains that tree item by item, and the running list must not become it.
kd_xml kd utf16 <<'EOF_XML'
<KeyDeputy>
<菜单><旧项>C:\kd\old.bat</旧项><未闭合>C:\kd\b1.bat
</菜单>
</KeyDeputy>
EOF_XML
refused_reload "file read into a tree"
check_match "file read into a tree: reported, the running configuration kept" '正在运行的配置保持不变。$' "$(box_field text)"
close_program "$CAPTION"

# ----- inside the selector: the running screenshot finishes, the new item is its own -----
first_file
start_program "selector"
drv command "$CAPTION" $ITEM1
check "selector opens" wait_for 10 selector_open
second_file
drv command "$CAPTION" $RELOAD
check "selector: the reload is applied inside it" wait_for 10 held ctrl+shift+k
check "selector: still open" selector_open
xdotool mousemove 500 400 click 3
check "selector: cancelled normally afterwards" wait_for 10 selector_gone
fresh
drv command "$CAPTION" $ITEM1
check "selector: item 1 now runs the new file's command" wait_file "$KD_DRIVE_C/kd/b1.txt" 10
check_not "selector: and not the screenshot it ran before" wait_for 2 selector_open

# ----- a pending reminder and a reminder's box -----
drv command "$CAPTION" $REMINDER
check "reminder: set" drv reminder set 第一个提醒 30 --timeout 10000
first_file
drv command "$CAPTION" $RELOAD
check "reminder: reloaded while it is pending" wait_for 10 held ctrl+shift+j
drv reminder fire >/dev/null
check "reminder: it fires after the reload" drv box "$CAPTION" --text 第一个提醒 --timeout 10000
second_file
drv command "$CAPTION" $RELOAD
check "reminder box: the reload is applied while it is open" wait_for 10 held ctrl+shift+k
check "reminder box: still open" drv box "$CAPTION" --text 第一个提醒 --timeout 1000
drv answer "$CAPTION" ok --text 第一个提醒 >/dev/null
check_eq "reminder box: closed normally afterwards" "0" "$(drv boxes "$CAPTION" --text 第一个提醒)"
check "reminder box: the program runs on" kd_running "$KD_PID"
close_program "$CAPTION"

# ----- 自动重新加载 -----
kd_xml kd utf16 <<'EOF_XML'
<KeyDeputy>
<设置><自动重新加载>是</自动重新加载></设置>
<菜单><旧项 快捷键="Ctrl+Shift+J">C:\kd\old.bat</旧项></菜单>
</KeyDeputy>
EOF_XML
start_program "automatic"
check "automatic: first hotkey held" held ctrl+shift+j
kd_xml kd utf16 <<'EOF_XML'
<KeyDeputy>
<设置><自动重新加载>是</自动重新加载><名称>另一个名称</名称></设置>
<菜单><新项 快捷键="Ctrl+Shift+K">C:\kd\new.bat</新项></菜单>
</KeyDeputy>
EOF_XML
check "automatic: saving reloads it" wait_for 10 held ctrl+shift+k
check "automatic: the old hotkey is free" free_combo ctrl+shift+j
check "automatic: the caption stays until the next start" drv main "$CAPTION" --timeout 1000
check "automatic: and the balloon says so" wait_for 8 balloon_matches $'下次启动时生效'
# A broken file saved in several writes: one report for the change.
{
    printf '\xff\xfe'
    printf '<KeyDeputy>\n<设置><自动重新加载>是</自动重新加载></设置>\n' | iconv -f UTF-8 -t UTF-16LE
} >"$KD_DRIVE_C/kd/KeyDeputy.xml"
sleep 0.1
printf '<菜单><坏>Tom & Jerry</坏></菜单>\n' | iconv -f UTF-8 -t UTF-16LE >>"$KD_DRIVE_C/kd/KeyDeputy.xml"
sleep 0.1
printf '</KeyDeputy>\n' | iconv -f UTF-8 -t UTF-16LE >>"$KD_DRIVE_C/kd/KeyDeputy.xml"
drained=$(drv drain "配置文件解析错误" ok --timeout 6000)
check_match "automatic: a broken file is reported once" $'count=1\n' "$drained"
check_match "automatic: with the cause at its real position" '在 3行 21列.*原因：第 3 行第 12 列' "$drained"
touch "$KD_DRIVE_C/kd/other.txt"
check_match "automatic: another file of the folder reports nothing" $'count=0' \
    "$(drv drain "配置文件解析错误" ok --timeout 3000)"
check "automatic: the running configuration kept its hotkey" held ctrl+shift+k
close_program "$CAPTION"

# ----- a second start with 单实例 是 makes the first take the file -----
kd_xml kd utf16 <<'EOF_XML'
<KeyDeputy>
<设置><单实例>是</单实例></设置>
<菜单><旧项 快捷键="Ctrl+Shift+J">C:\kd\old.bat</旧项></菜单>
</KeyDeputy>
EOF_XML
start_program "second start"
first_pid=$KD_PID
kd_xml kd utf16 <<'EOF_XML'
<KeyDeputy>
<设置><单实例>是</单实例></设置>
<菜单><新项 快捷键="Ctrl+Shift+K">C:\kd\new.bat</新项></菜单>
</KeyDeputy>
EOF_XML
kd_start kd
if kd_wait_exit "$KD_PID" 15; then check_eq "second start: ends with 0" "0" "$KD_EXIT"; else e2e_fail "second start ends"; fi
KD_PID=$first_pid
check "second start: the first instance took the new file" wait_for 10 held ctrl+shift+k
check "second start: one icon" drv icons 1 --timeout 2000
close_program "$CAPTION"

# ----- no tray menu: the built-in one, and 退出程序 from it -----
kd_xml kd utf16 <<'EOF_XML'
<KeyDeputy>
<Menu><记事本>notepad.exe</记事本></Menu>
</KeyDeputy>
EOF_XML
start_program "no menu"
check "no menu: the balloon says so once" wait_for 8 balloon_matches '没有托盘菜单'
drv tray "$CAPTION" right
check_eq "no menu: the built-in menu" $'0\tstring\t1024\tdefault\t编辑配置\n1\tstring\t1025\t-\t重新加载配置\n2\tstring\t1026\t-\t退出程序' \
    "$(drv menu --pid "$KD_WIN_PID" --timeout 5000)"
drv endmenu --pid "$KD_WIN_PID" --timeout 3000 >/dev/null
drv command "$CAPTION" 1024
notepad() { drv list --class Notepad | awk -F'\t' '$5 == 1' | grep -q 'KeyDeputy'; }
check "编辑配置 opens the file in an editor" wait_for 10 notepad
drv command "$CAPTION" 1026
drv answer "$CAPTION" yes --timeout 5000 >/dev/null
if kd_wait_exit "$KD_PID" 20; then check_eq "no menu: 退出程序 ends with 0" "0" "$KD_EXIT"; else e2e_fail "no menu: 退出程序 ends"; fi
