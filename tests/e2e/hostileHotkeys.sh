#!/usr/bin/env bash
# A thousand hotkeys, most of them repeating a combination taken earlier: one warning box
# per refused hotkey, in document order, each with the label, the hotkey text and OK
# only; after the last one the icon is added, the menu is complete and the hotkeys that
# were registered work.
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
first=$(sed -n 1p "$data/refused.txt")
second=$(sed -n 2p "$data/refused.txt")
third=$(sed -n 3p "$data/refused.txt")
if box_read "$CAPTION" --timeout 15000; then
    check_eq "first warning: text" "$first" "$(box_field text)"
    check_eq "first warning: OK only" "ok" "$(box_field buttons)"
    check_eq "first warning: warning icon" "warning" "$(box_field icon)"
    check_eq "no tray icon while warnings are open" "0" "$(drv icons)"
else
    e2e_fail "first warning shown"
fi

# next_text PREVIOUS: the text of the open warning once it is another one than PREVIOUS.
next_text() {
    local i text
    for ((i = 0; i < 50; i++)); do
        text=$(drv box "$CAPTION" --timeout 2000 | sed -n 's/^text=//p')
        [ -n "$text" ] && [ "$text" != "$1" ] && break
        sleep 0.1
    done
    printf '%s' "$text"
}
# The user's way out: Enter, then Escape, on the box that has the focus.
xdotool key Return
check_eq "Return closes a warning, the next one follows" "$second" "$(next_text "$first")"
xdotool key Escape
check_eq "Escape closes a warning, the next one follows" "$third" "$(next_text "$second")"

rest=$((refusals - 2))
drained=$(date +%s.%N)
drv drain "$CAPTION" ok --count "$rest" --timeout 10000 --seconds 200 >"$KD_RUN_DIR/drain.out"
check_eq "the driver answered every remaining warning" "0" "$?"
echo "time: $rest warnings answered in $(elapsed "$drained") s"
check_eq "as many warnings as refused hotkeys" "count=$rest" "$(grep '^count=' "$KD_RUN_DIR/drain.out")"
check_eq "every warning has OK only" "ok" "$(grep -v '=' "$KD_RUN_DIR/drain.out" | cut -f2 | sort -u)"
check_eq "warnings in document order, texts as expected" "$(tail -n +3 "$data/refused.txt")" \
    "$(grep -v '=' "$KD_RUN_DIR/drain.out" | cut -f3)"
check_eq "last warning: the 32-character hotkey text" \
    'last=键0999\tControl+Alternate+Shift+Window+A\t热键注册失败！' "$(grep '^last=' "$KD_RUN_DIR/drain.out")"

check "after the last warning the icon is added" drv icons 1 --timeout 10000
echo "time: start to icon $(elapsed "$started") s"
sleep 0.5
check_eq "no further warning" "0" "$(drv boxes "$CAPTION")"

pid=$(drv main "$CAPTION" --timeout 5000 | head -n1 | cut -f2)
drv tray "$CAPTION" right
check_eq "menu: every item with its hotkey text, refused ones too" "$(cat "$data/menu.txt")" \
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
