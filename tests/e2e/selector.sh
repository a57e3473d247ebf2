#!/usr/bin/env bash
# The screenshot selector shows itself: over a picture of known colours (kddriver
# pattern) the screen, read from outside, is dimmed from the moment the selector opens,
# the dragged region stays exactly as it was, the pointer is a cross. The image on the
# clipboard and in a saved file is exactly the selected pixels, and the clipboard is
# announced by a balloon. A plain click ends the selector without a box; a drag with no
# height still shows one.
. "$(dirname "$0")/e2e.sh"
e2e_begin
kd_unmanaged
kd_keep_desktop

CAPTION="KeyDeputy v2.0"
kd_install kd
kd_xml kd utf16 <<'EOF_XML'
<KeyDeputy>
<菜单><截图>屏幕截图</截图><退出>退出程序</退出></菜单>
</KeyDeputy>
EOF_XML
SCREENSHOT=1024
BEFORE='C:\kd\before.bin'

selector_open() { drv list --class '#32770' --pid "$KD_WIN_PID" | awk -F'\t' '$3 == "" && $5 == 1' | grep -q .; }
selector_gone() { ! selector_open; }
save_dialog_open() { drv list --class '#32770' | grep -q $'\t另存为\t'; }
balloons() { drv list --class tooltips_class32 | awk -F'\t' '$5 == 1 && $3 != "" { print $3 }'; }
clipboard_balloon() { balloons | grep -q '截图已放到剪贴板'; }
field() { printf '%s\n' "$2" | sed -n "s/^$1=//p"; }
open_selector() {
    drv command "$CAPTION" $SCREENSHOT
    wait_for 10 selector_open && sleep 0.5
}

kd_start kd
check "program runs" drv icons 1 --timeout 15000
KD_WIN_PID=$(drv main "$CAPTION" | head -n1 | cut -f2)
drv_bg "$KD_RUN_DIR/pattern.out" pattern --seconds 200
check "a picture of known colours covers the screen" wait_line "$KD_RUN_DIR/pattern.out" ready 15
drv screen save "$BEFORE"

check "the selector opens" open_selector
out=$(drv screen compare "$BEFORE" 0 700 1024 768)
check_eq "before any drag the whole picture is dimmed" "0" "$(field above_other "$out")"
xdotool mousemove 500 450
sleep 0.3
check_eq "the pointer is a cross" "cross" "$(drv screen cursor --pid "$KD_WIN_PID")"
xdotool mousemove 100 100 mousedown 1 mousemove 200 150 mousemove 300 200
sleep 1
out=$(drv screen compare "$BEFORE" 100 100 300 200)
check_eq "while dragging, the region is shown exactly as it was" "20000 0" \
    "$(field inside_equal "$out") $(field inside_other "$out")"
check_eq "and everything above it is darker" "$((98 * 1024)) 0" "$(field above_darker "$out") $(field above_other "$out")"
xdotool mouseup 1
check "the save dialog opens" wait_for 10 save_dialog_open
drv save cancel >/dev/null
check "cancelled, the selector ends" wait_for 10 selector_gone
out=$(drv image clipboard "$BEFORE" 100 100 300 200)
check_eq "the clipboard holds exactly the selected pixels" "200x100 20000 0" \
    "$(field size "$out") $(field equal "$out") $(field other "$out")"
check "a balloon announces the clipboard" wait_for 8 clipboard_balloon

check "the selector opens again" open_selector
# Clear of the balloon, which may still show near the tray.
xdotool mousemove 600 400 mousedown 1 mousemove 700 450 mousemove 800 500 mouseup 1
check "the save dialog opens" wait_for 10 save_dialog_open
drv save 'C:\kd\shot' 4 >/dev/null
check "the file is written" wait_file "$KD_DRIVE_C/kd/shot.bmp" 10
out=$(drv image 'C:\kd\shot.bmp' "$BEFORE" 600 400 800 500)
check_eq "the saved file holds exactly the selected pixels" "200x100 20000 0" \
    "$(field size "$out") $(field equal "$out") $(field other "$out")"
wait_for 10 selector_gone

check "the selector opens for a click" open_selector
xdotool mousemove 400 400 click 1
check "a plain click ends the selector" wait_for 10 selector_gone
sleep 1
check_eq "and shows no box" "0" "$(drv boxes "$CAPTION")"

check "the selector opens for a flat drag" open_selector
xdotool mousemove 100 300 mousedown 1 mousemove 200 300 mousemove 300 300 mouseup 1
check "a drag without height still shows the box" drv box "$CAPTION" --text 你的选择区域无效 --timeout 10000
drv answer "$CAPTION" ok >/dev/null
close_program "$CAPTION"
