#!/usr/bin/env bash
# The driver against its own stand-in tray program, whose behaviour is known: if these
# fail, the other end-to-end results cannot be trusted.
. "$(dirname "$0")/e2e.sh"
e2e_begin

name="kd sample"
mkdir -p "$KD_DRIVE_C/kd"
out=$KD_DRIVE_C/kd/sample.txt
drv_bg "$KD_RUN_DIR/sample.out" sample "$name" 'C:\kd\sample.txt'
sample=$KD_BG_PID

check "main window found by class and title" drv main "$name" --timeout 10000
main=$(drv main "$name")
check_match "main window is hidden" $'\t0$' "$main"
check "its tray icon is counted" drv icons 1 --timeout 5000
check "its hotkey is seen as held" drv hotkey ctrl+alt+k
check_not "another combination is seen as free" drv hotkey ctrl+alt+f11
check_eq "a free combination stays free after the check" "free" "$(drv hotkey ctrl+alt+f11)"

drv tray "$name" right
menu=$(drv menu --timeout 5000)
expected=$'0\tstring\t1024\tdefault\tFirst
1\tstring\t1025\tgrayed\tGrey\\tCtrl+Alt+K
2\tpopup\t-\t-\tSub
2/0\tstring\t1026\tchecked\tWarn
2/1\tseparator\t0\t-\t
2/2\tstring\t1027\t-\tQuit'
check_eq "menu read back with ids, states and submenu" "$expected" "$menu"
check "menu closed" drv endmenu --timeout 3000
drv tray "$name" move
check_not "a mouse move opens no menu" drv menu --timeout 1000

drv command "$name" 1024
check "WM_COMMAND runs the entry" wait_file "$out" 5
check_eq "the entry wrote its id" "1024" "$(tr -d '\r' <"$out")"
rm -f "$out"
press_keys ctrl+alt+k
check "the hotkey typed on the X display runs its entry" wait_file "$out" 5
check_eq "the hotkey wrote its id" "1025" "$(tr -d '\r' <"$out" 2>/dev/null)"

drv command "$name" 1026
box_read "$name" --timeout 5000
check_eq "box text with line break and tab" 'line one\nline\ttwo' "$(box_field text)"
check_eq "box buttons" "ok" "$(box_field buttons)"
check_eq "box icon" "warning" "$(box_field icon)"
check "box answered" drv answer "$name" ok
check_eq "no box left" "0" "$(drv boxes "$name")"

drv command "$name" 1027
box_read "$name" --timeout 5000
check_eq "question box buttons" "yes,no" "$(box_field buttons)"
check_eq "question box default" "no" "$(box_field default)"
check_eq "question box icon" "question" "$(box_field icon)"
drv answer "$name" no
check "answer No keeps it running" drv main "$name" --timeout 500
drv command "$name" 1027
drv answer "$name" yes --timeout 5000
kd_wait_exit "$sample" 15
check_eq "answer Yes ends it with code 0" "0" "$KD_EXIT"
check "its icon is gone" drv icons 0 --timeout 5000

check_eq "registry value absent" "1" "$(drv reg get kd-e2e-probe >/dev/null; echo $?)"
drv reg set kd-e2e-probe 'C:\kd\x.exe'
check_eq "registry value written and read back" $'REG_SZ\tC:\\kd\\x.exe' "$(drv reg get kd-e2e-probe)"
check "wine reg sees the value in the 64-bit view" bash -c \
    "wine reg query 'HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run' /v kd-e2e-probe /reg:64 | grep -q 'C:.kd.x.exe'"
drv reg del kd-e2e-probe
check_not "registry value deleted" drv reg get kd-e2e-probe
