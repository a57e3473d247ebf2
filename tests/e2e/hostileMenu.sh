#!/usr/bin/env bash
# Menus of hostile size: ten thousand items in one tray menu; a document nested exactly
# as deep as the reader goes (1000 levels, the root being level 1), and one level more.
. "$(dirname "$0")/e2e.sh"
e2e_begin
kd_unmanaged
kd_keep_desktop

CAPTION="KeyDeputy v2.0"
kd_install kd

# ----- 10,000 items -----
COUNT=10000
data=$KD_RUN_DIR/menu
mkdir -p "$data"
perl "$E2E_DIR/hostile/menuConfig.pl" "$data" "$COUNT"
kd_xml kd utf16 <"$data/config.xml"
make_bat m00000
make_bat m09999

started=$(date +%s.%N)
kd_start kd
check "10,000 items: the icon is added" drv icons 1 --timeout 60000
echo "time: 10,000 items, start to icon $(elapsed "$started") s"
check_eq "10,000 items: no message" "0" "$(drv boxes "$CAPTION")"
pid=$(drv main "$CAPTION" --timeout 5000 | head -n1 | cut -f2)

drv tray "$CAPTION" right
opened=$(date +%s.%N)
menu=$(drv menu --pid "$pid" --timeout 30000)
echo "time: menu opened and read in $(elapsed "$opened") s"
expected=$(cat "$data/menu.txt")
# kdprobe's answer block holds 131,039 characters, less than this listing: what comes
# back must be the listing's start, cut only there.
check_eq "10,000 items: the menu read back is the listing's start" "${expected:0:${#menu}}" "$menu"
check_match "10,000 items: cut only by the probe's block" "^(${#expected}|131039)$" "${#menu}"
check_eq "10,000 items: first entry is the bold default" $'0\tstring\t1024\tdefault\t项00000' \
    "$(printf '%s\n' "$menu" | head -n1)"

# The far end of the open menu, by keyboard: End, then Return, chooses the last entry.
xdotool key End
sleep 0.3
xdotool key Return
check "End and Return in the open menu run the last item" wait_file "$KD_DRIVE_C/kd/m09999.txt" 10
check_not "the menu is closed after the choice" drv menu --pid "$pid" --timeout 1000
rm -f "$KD_DRIVE_C/kd/m09999.txt"
drv command "$CAPTION" 11023
check "identifier 11023 is the last item" wait_file "$KD_DRIVE_C/kd/m09999.txt" 10
drv command "$CAPTION" 1024
check "identifier 1024 is the first item" wait_file "$KD_DRIVE_C/kd/m00000.txt" 10
drv command "$CAPTION" 11024
sleep 0.5
check "identifier 11024 (no item) is ignored" drv main "$CAPTION" --timeout 500
close_program "$CAPTION"
check "10,000 items: the icon is gone" drv icons 0 --timeout 5000

# ----- nesting depth -----
make_bat deep
perl "$E2E_DIR/hostile/depthConfig.pl" 1000 | kd_xml kd utf16
kd_start kd
check "1000 levels: accepted, the icon is added" drv icons 1 --timeout 20000
check_eq "1000 levels: no report" "0" "$(drv boxes "配置文件解析错误")"
pid=$(drv main "$CAPTION" --timeout 5000 | head -n1 | cut -f2)
drv tray "$CAPTION" right
# Only the top of the chain is checked: Wine attaches no submenu whose own tree is 30
# levels deep or more (tests/README.md), so further down the chain is Wine's.
check_eq "1000 levels: the tray menu starts with the submenu on level 3" $'0\tpopup\t-\tdefault\t层3' \
    "$(drv menu --pid "$pid" --timeout 10000 | head -n1)"
drv endmenu --pid "$pid" --timeout 3000 >/dev/null
drv command "$CAPTION" 1024
check "1000 levels: the item on level 1000 runs its command" wait_file "$KD_DRIVE_C/kd/deep.txt" 10
close_program "$CAPTION"

# Level 1001 is refused at its start tag: line 1001, column 7 is the '>' after 层1001.
perl "$E2E_DIR/hostile/depthConfig.pl" 1001 | kd_xml kd utf16
expect_load_report "1001 levels" "$(report_text "错误: 发现无效标签" 1001 7)"
check_eq "1001 levels: no tray icon" "0" "$(drv icons)"
