#!/usr/bin/env bash
# Hostile bytes: UTF-16 of odd length, NUL bytes and units inside the text, random bytes
# (fixed seeds), and a 50 MB file, valid and broken at its end. Each either runs with
# its menu or ends in the load report with code 255; none crashes or hangs.
. "$(dirname "$0")/e2e.sh"
e2e_begin
kd_unmanaged
kd_keep_desktop

CAPTION="KeyDeputy v2.0"
XML=$KD_DRIVE_C/kd/KeyDeputy.xml
kd_install kd
CONFIG='<KeyDeputy>
<菜单>
  <甲>C:\kd\a.bat</甲>
</菜单>
</KeyDeputy>
'
MENU=$'0\tstring\t1024\tdefault\t甲'

# expect_menu NAME: the start of C:\kd runs, shows MENU and ends on WM_CLOSE.
expect_menu() {
    kd_start kd
    if ! drv icons 1 --timeout 15000 >/dev/null; then
        e2e_fail "$1: the program runs with its icon" "$(drv list | grep -v 'Default IME')"
        stop_pid "$KD_PID"
        return 1
    fi
    e2e_pass "$1: the program runs with its icon"
    local pid
    pid=$(drv main "$CAPTION" --timeout 5000 | head -n1 | cut -f2)
    drv tray "$CAPTION" right
    check_eq "$1: the menu" "$MENU" "$(drv menu --pid "$pid" --timeout 5000)"
    drv endmenu --pid "$pid" --timeout 3000 >/dev/null
    close_program "$CAPTION"
}

# make_parity odd|even: one more byte at the end of the file when its length is not so.
make_parity() {
    local size
    size=$(stat -c %s "$XML")
    if { [ "$1" = odd ] && [ $((size % 2)) -eq 0 ]; } || { [ "$1" = even ] && [ $((size % 2)) -eq 1 ]; }; then
        printf '\n' >>"$XML"
    fi
}

# ----- UTF-16 of odd length -----
printf '%s' "$CONFIG" | kd_xml kd utf16-nobom
expect_menu "UTF-16 without mark, even length"
# IsTextUnicode refuses an odd length, so the bytes are read as 8-bit text (code page
# 936). Without the mark, the NUL high byte of the first '<' ends the text right after it.
printf 'x' >>"$XML"
expect_load_report "UTF-16 without mark, one byte more" "$(report_text "错误: 缺少标签开始名" 1 2)"
# With the mark, FE and the '<' after it are one (invalid) double-byte character, and the
# NUL that follows ends the text: no element at all.
ROOT_MISSING="$(report_text "错误: 标签没找到" 0 0)First Tag should be 'KeyDeputy'.\\n"
printf '%s' "$CONFIG" | kd_xml kd utf16
printf 'x' >>"$XML"
expect_load_report "UTF-16 with mark, one byte more" "$ROOT_MISSING"
printf '%s' "$CONFIG" | kd_xml kd utf16
truncate -s -1 "$XML"
expect_load_report "UTF-16 with mark, last byte missing" "$ROOT_MISSING"

# ----- NUL bytes and units -----
# IsTextUnicode takes an even-length buffer holding a NUL byte for UTF-16 (tests/README.md);
# of odd length it is 8-bit text, which ends at the NUL.
{ printf '%s' "$CONFIG" | iconv -f UTF-8 -t GBK; printf '\0垃圾 <<&& </菜单>'; } >"$XML"
make_parity odd
expect_menu "8-bit file, NUL after the document, odd length"
{ printf '%s' "$CONFIG" | iconv -f UTF-8 -t GBK; printf '\0垃圾 <<&& </菜单>'; } >"$XML"
make_parity even
expect_load_report "8-bit file, NUL after the document, even length" "$ROOT_MISSING"
# The text ends at the NUL inside 甲: the elements still open give the warning there.
printf '%s' "$CONFIG" | sed 's/a\.bat/a\x00.bat/' | kd_xml kd utf8-bom
make_parity odd
expect_load_report "UTF-8 file, NUL inside a text" "$(report_text "警告: 标签结束不匹配" 3 13)"
# A NUL unit makes IsTextUnicode refuse UTF-16 too; as 8-bit text it holds no element.
printf '%s' "$CONFIG" | sed 's/a\.bat/a\x00.bat/' | kd_xml kd utf16
expect_load_report "UTF-16 file, NUL unit inside a text" "$ROOT_MISSING"

# ----- random bytes, fixed seeds -----
ANY_REPORT="^配置文件“C:\\\\\\\\kd\\\\\\\\KeyDeputy\\.xml”解析错误。\\\\n(错误|警告): [^\\\\]+。\\\\n在 [0-9]+行 [0-9]+列。\\\\n(First Tag should be 'KeyDeputy'\\.\\\\n)?(原因|改法)："
# Even lengths with NUL bytes are taken for UTF-16; the odd ones reach the 8-bit reading
# (code page 936) and the parser with whatever they hold.
for file in "11 4096 bytes" "12 1048577 bytes" "13 65537 markup" "14 16384 utf16" "15 8193 opened"; do
    read -r seed size kind <<<"$file"
    perl "$E2E_DIR/hostile/randomBytes.pl" "$seed" "$size" "$kind" >"$XML"
    name="random $kind, seed $seed, $size bytes"
    kd_start kd
    if box_read "配置文件解析错误" --timeout 15000; then
        echo "$name: $(box_field text)"
        check_match "$name: a load report" "$ANY_REPORT" "$(box_field text)"
        check_eq "$name: no tray icon" "0" "$(drv icons)"
        drv answer "配置文件解析错误" ok >/dev/null
        if kd_wait_exit "$KD_PID" 15; then check_eq "$name: exit code" "255" "$KD_EXIT"
        else e2e_fail "$name: program ended after the report"; stop_pid "$KD_PID"; fi
    else
        e2e_fail "$name: load report shown" "$(drv list | grep -v 'Default IME')"
        stop_pid "$KD_PID"
    fi
done

# ----- 50 MB -----
# A menu of two items around a comment holding half a million disabled items.
BIG=$((50 * 1024 * 1024))
make_bat last
perl "$E2E_DIR/hostile/bigConfig.pl" "$BIG" >"$XML"
started=$(date +%s.%N)
kd_start kd
check "50 MB: the icon is added" drv icons 1 --timeout 60000
echo "time: 50 MB file ($(stat -c %s "$XML") bytes), start to icon $(elapsed "$started") s"
pid=$(drv main "$CAPTION" --timeout 5000 | head -n1 | cut -f2)
drv tray "$CAPTION" right
check_eq "50 MB: the menu holds the two items outside the comment" $'0\tstring\t1024\tdefault\t首项\n1\tstring\t1025\t-\t末项' \
    "$(drv menu --pid "$pid" --timeout 5000)"
drv endmenu --pid "$pid" --timeout 3000 >/dev/null
drv command "$CAPTION" 1025
check "50 MB: the item after the comment runs its command" wait_file "$KD_DRIVE_C/kd/last.txt" 10
close_program "$CAPTION"

# Broken on its third line from the end: the report counts every line before it.
perl "$E2E_DIR/hostile/bigConfig.pl" "$BIG" broken >"$XML"
line=$(( $(wc -l <"$XML") - 2 ))
started=$(date +%s.%N)
expect_load_report "50 MB, unknown entity near the end" "$(report_text "错误: 未知字符集" "$line" 16)" 60
echo "time: 50 MB broken file, start to exit $(elapsed "$started") s"
rm -f "$XML"
