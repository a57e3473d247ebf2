#!/usr/bin/env bash
# The reminder dialog as a user meets it: the keys go to the text field, Tab runs text,
# minutes, choices, 确定, and 不执行 takes a power choice back. Waiting reminders show in
# the tray tip (read from Wine's tooltip while the pointer rests on the icon) and are
# counted in the exit question; the tip goes back to the caption once they have fired.
. "$(dirname "$0")/e2e.sh"
e2e_begin
kd_unmanaged
kd_keep_desktop

CAPTION="KeyDeputy v2.0"
kd_install kd
kd_xml kd utf16 <<'EOF_XML'
<KeyDeputy>
<菜单><提醒>定时提醒</提醒><退出>退出程序</退出></菜单>
</KeyDeputy>
EOF_XML
REMINDER=1024 QUIT=1025

# The tip Wine shows while the pointer rests on the (only) icon; the pointer is moved
# off and back until the tooltip shows (a loaded machine can take a few seconds).
tray_tip() {
    local tray X Y WIDTH HEIGHT SCREEN WINDOW attempt i tip
    tray=$(xdotool search --name '^Wine System Tray$' | head -n1)
    eval "$(xdotool getwindowgeometry --shell "$tray")"
    for ((attempt = 0; attempt < 4; attempt++)); do
        xdotool mousemove 600 500
        sleep 0.5
        xdotool mousemove $((X + 10)) $((Y + 10))
        sleep 0.3
        xdotool mousemove $((X + 12)) $((Y + 12))
        for ((i = 0; i < 10; i++)); do
            sleep 0.3
            tip=$(drv list --class tooltips_class32 | awk -F'\t' '$5 == 1 && $3 != "" { print $3 }')
            [ -n "$tip" ] && { printf '%s\n' "$tip"; return 0; }
        done
    done
    return 1
}
state_field() { printf '%s\n' "$STATE" | sed -n "s/^$1=//p"; }
# state_is FIELD VALUE: reads the dialog again; true when FIELD has VALUE.
state_is() { STATE=$(drv reminder state); [ "$(state_field "$1")" == "$2" ]; }

kd_start kd
check "program runs" drv icons 1 --timeout 15000
check_eq "no reminder: the tip is the caption" "$CAPTION" "$(tray_tip)"

drv command "$CAPTION" $REMINDER
STATE=$(drv reminder state --timeout 10000)
check_eq "the dialog opens with the focus in the text field" "51000" "$(state_field focus)"
check_eq "the dialog opens with 不执行 checked" "51006" "$(state_field checked)"
xwindow=$(state_field xwindow)
xdotool windowfocus --sync "$xwindow"
xdotool type --delay 50 'abc'
wait_for 5 state_is text abc
check_eq "what is typed at once goes into the text" "abc" "$(state_field text)"
# Each key is waited for: under load the dialog may take it after any fixed pause.
order=""
for expected in 51001 51006 1; do
    xdotool key Tab
    wait_for 5 state_is focus "$expected"
    order="$order $(state_field focus)"
done
check_eq "Tab runs minutes, the checked choice, 确定" " 51001 51006 1" "$order"
# Back to the choices: an arrow checks 关机, the other way takes it back to 不执行.
xdotool key shift+Tab
wait_for 5 state_is focus 51006
xdotool key Right
wait_for 5 state_is checked 51003
check_eq "an arrow key checks 关机" "51003" "$(state_field checked)"
xdotool key Left
wait_for 5 state_is checked 51006
check_eq "and 不执行 takes it back" "51006" "$(state_field checked)"

drv reminder set 喝水 30 >/dev/null
drv command "$CAPTION" $REMINDER
before=$(date +%H:%M --date='+10 min')
drv reminder set 吃饭 10 >/dev/null
after=$(date +%H:%M --date='+10 min')
check_match "two waiting: the tip counts them and names the next one's time" \
    "^$CAPTION · 2 个提醒，下一个 ($before|$after)\$" "$(tray_tip)"

drv command "$CAPTION" $QUIT
if box_read "$CAPTION" --text 退出 --timeout 10000; then
    check_eq "the exit question says how many reminders would be dropped" \
        '你确认立即退出程序？\n\n还有 2 个定时提醒未到时间，退出后不会再提醒。' "$(box_field text)"
    drv answer "$CAPTION" no --text 退出 >/dev/null
else
    e2e_fail "the exit question shown"
fi

check_eq "both reminders fire" "2" "$(drv reminder fire)"
drv drain "$CAPTION" ok --count 2 --timeout 10000 >/dev/null
check_eq "none waiting: the tip is the caption again" "$CAPTION" "$(tray_tip)"
drv command "$CAPTION" $QUIT
if box_read "$CAPTION" --timeout 10000; then
    check_eq "with none waiting the exit question is the plain one" '你确认立即退出程序？' "$(box_field text)"
    drv answer "$CAPTION" yes >/dev/null
fi
check "Yes ends the program" kd_wait_exit "$KD_PID" 20
