#!/usr/bin/env bash
# A thousand hotkeys, most of them repeating a combination taken earlier: one warning box
# for all of them, OK only, listing the first 20 in document order, each with the label,
# the hotkey text and its reason, then how many more; after it the icon is added, the
# menu is complete with the refused entries marked, and the hotkeys that were registered
# work.
. "$(dirname "$0")/e2e.sh"
e2e_begin
kd_unmanaged
kd_keep_desktop

CAPTION="KeyDeputy v2.0"
COUNT=1000
data=$KD_RUN_DIR/hotkeys
mkdir -p "$data"
perl "$E2E_DIR/hostile/hotkeyConfig.pl" "$data" "$COUNT"
refusals=$(grep -c . "$data/refused.txt")
echo "hotkeys: $COUNT items, $refusals refusals expected"

kd_install kd
kd_xml kd utf16 <"$data/config.xml"
read -r combo holder repeat <"$data/repeat.txt"
make_bat "$(printf 'k%04d' "$holder")"
make_bat "$(printf 'k%04d' "$repeat")"

started=$(date +%s.%N)
kd_start kd
expected="$(head -n 20 "$data/refused.txt" | awk '{ printf "%s\\n", $0 }')……另有 $((refusals - 20)) 个热键未注册"
if box_read "$CAPTION" --timeout 15000; then
    check_eq "one warning: the first 20 refusals with their reasons, then the count of the rest" \
        "$expected" "$(box_field text)"
    check_eq "the warning: OK only" "ok" "$(box_field buttons)"
    check_eq "the warning: warning icon" "warning" "$(box_field icon)"
    check_eq "no tray icon while the warning is open" "0" "$(drv icons)"
else
    e2e_fail "the warning shown"
fi
# The user's way out: Enter on the box that has the focus.
xdotool key Return
check "after the warning the icon is added" drv icons 1 --timeout 10000
echo "time: start to icon $(elapsed "$started") s"
sleep 0.5
check_eq "no further warning" "0" "$(drv boxes "$CAPTION")"

pid=$(drv main "$CAPTION" --timeout 5000 | head -n1 | cut -f2)
drv tray "$CAPTION" right
check_eq "menu: every item with its hotkey text, refused ones marked" "$(cat "$data/menu.txt")" \
    "$(drv menu --pid "$pid" --timeout 10000)"
drv endmenu --pid "$pid" --timeout 3000 >/dev/null

# Some of the combinations the program took, and one it never asked for.
for line in 1 72 144; do
    held=$(sed -n "${line}p" "$data/held.txt" | cut -f1)
    check "$held is held by the program" drv hotkey "$held"
done
check_not "a combination no item names stays free" drv hotkey ctrl+alt+shift+f11

# A repeated combination belongs to its first item; the refusal took nothing from it.
press_keys "$combo"
check "$combo typed runs the first item that named it" wait_file "$KD_DRIVE_C/kd/$(printf 'k%04d' "$holder").txt" 10
check_not "and not the later item that repeated it" test -e "$KD_DRIVE_C/kd/$(printf 'k%04d' "$repeat").txt"

close_program "$CAPTION"
