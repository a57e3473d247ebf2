#!/usr/bin/env bash
# Libraries dropped beside the program are never taken. Wine is told to prefer a
# library file it finds over its own (as Windows does for every library off its
# known list), and kdstandin.dll lies in the program's folder under the name of each
# library the program loads at run time. The program is started, runs the CD door, the
# screenshot's save dialog (cancelled) and two shell commands, and is closed: no stand-in
# may leave its marker, each library must come from the system folder, and each action
# must still reach it. The libraries only an action needs are loaded at its first use.
. "$(dirname "$0")/e2e.sh"
e2e_begin

STANDIN=$(dirname "$KD_DRIVER")/kdstandin.dll
LIBRARIES="gdiplus winmm comdlg32 ole32"
CAPTION="KD Libraries"
kd_install kd
kd_unmanaged
make_bat shell1
make_bat shell2
kd_xml kd utf8 <<EOF2
<KeyDeputy>
<设置><名称>$CAPTION</名称></设置>
<菜单>
  <开>打开光驱</开>
  <关>关闭光驱</关>
  <截图>屏幕截图</截图>
  <命令一>C:\\kd\\shell1.bat</命令一>
  <命令二>C:\\kd\\shell2.bat</命令二>
</菜单>
</KeyDeputy>
EOF2
for library in $LIBRARIES; do cp "$STANDIN" "$KD_DRIVE_C/kd/$library.dll"; done

# The calls each action must still make, traced with their arguments.
wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ \
    /d 'winmm.mciSendStringW;comdlg32.GetSaveFileNameW;ole32.CoInitializeEx;combase.CoInitializeEx;shell32.ShellExecuteExW;gdiplus.GdiplusStartup' \
    /f >/dev/null 2>&1
trace=$KD_RUN_DIR/program.trace
(cd "$KD_DRIVE_C/kd" && WINEDLLOVERRIDES="$WINEDLLOVERRIDES;${LIBRARIES// /,}=n,b" WINEDEBUG=-all,+loaddll,+relay \
    exec wine 'C:\kd\KeyDeputy.exe') >/dev/null 2>"$trace" &
KD_PID=$!
E2E_STARTED_PIDS+=("$KD_PID")

# The program's own lines of the trace (other Wine processes write there too).
program_trace() {
    local tid
    tid=$(grep -m1 -o '^[0-9a-f]*:trace:loaddll:[a-z_]* Loaded L"C:\\\\kd\\\\KeyDeputy.exe"' "$trace" | cut -d: -f1)
    [ -n "$tid" ] && grep "^$tid:" "$trace"
}
# own_calls PATTERN: the traced calls the program's own code made (its return address
# lies in KeyDeputy.exe), matching an extended regular expression.
own_calls() {
    local base
    base=$(program_trace | grep -m1 -o 'Loaded L"C:\\\\kd\\\\KeyDeputy.exe" at [0-9A-Fa-f]*' | awk '{print $NF}')
    program_trace | grep -E "Call ($1)\(" | while read -r line; do
        local ret=${line##* ret=}
        (( 16#$ret >= 16#$base && 16#$ret < 16#$base + 0x1000000 )) && printf '%s\n' "${line#*:}"
    done
}
loaded_from() { program_trace | grep -i "Loaded L\"[^\"]*\\\\$1.dll\"" | sed 's/^.*Loaded L"\(.*\)" at .*$/\1/'; }

# A library taken from the program's folder at start stops the program there.
started=0
drv icons 1 --timeout 20000 >/dev/null && started=1
check_eq "the program starts with stand-ins beside it" "1" "$started"
if [ $started -eq 1 ]; then
    pid=$(drv main "$CAPTION" | cut -f2)
    check_eq "at start GDI+ comes from the system folder" 'C:\\windows\\system32\\gdiplus.dll' "$(loaded_from gdiplus)"
    check_eq "at start GDI+ is started" "1" "$(program_trace | grep -c 'Call gdiplus.GdiplusStartup(')"
    for library in winmm comdlg32; do
        check_eq "$library is not loaded at start" "" "$(loaded_from $library)"
    done

    drv command "$CAPTION" 1024 >/dev/null
    drv command "$CAPTION" 1025 >/dev/null
    sleep 1
    check_eq "the CD door strings reach winmm" "2" \
        "$(program_trace | grep -cE 'Call winmm.mciSendStringW\([0-9a-f]+ L"set CDAudio door (open|closed)",0+,0+,0+\)')"

    drv command "$CAPTION" 1026 >/dev/null
    selector=$(drv list --pid "$pid" --class '#32770' | awk -F'\t' '$5 == 1' | head -n1)
    for i in $(seq 50); do
        [ -n "$selector" ] && break
        sleep 0.1
        selector=$(drv list --pid "$pid" --class '#32770' | awk -F'\t' '$5 == 1' | head -n1)
    done
    check_match "the screenshot's selector opens" '#32770' "$selector"
    xdotool mousemove 100 100 mousedown 1 mousemove 200 150 mousemove 300 200 mouseup 1
    dialog=
    for i in $(seq 100); do
        dialog=$(drv list --pid "$pid" --class '#32770' | awk -F'\t' '$5 == 1 && $3 != ""' | head -n1 | cut -f3)
        [ -n "$dialog" ] && break
        sleep 0.1
    done
    check_match "the save dialog opens" '.' "$dialog"
    [ -n "$dialog" ] && check "the save dialog is cancelled" drv answer "$dialog" cancel --pid "$pid" --timeout 10000
    check_eq "the save dialog came from comdlg32" "1" "$(program_trace | grep -c 'Call comdlg32.GetSaveFileNameW(')"

    drv command "$CAPTION" 1027 >/dev/null
    drv command "$CAPTION" 1028 >/dev/null
    check "the first shell command ran" wait_file "$KD_DRIVE_C/kd/shell1.txt" 20
    check "the second shell command ran" wait_file "$KD_DRIVE_C/kd/shell2.txt" 20
    # ole32 forwards CoInitializeEx to combase (under Wine as on Windows 8 and later); the
    # save dialog and GDI+ start COM for themselves too.
    calls=$(own_calls '(ole32|combase).CoInitializeEx|shell32.ShellExecuteExW' | grep -oE '^Call [a-z0-9]+.[A-Za-z]+(\([0-9,]*\))?' | sed 's/^\(Call shell32.ShellExecuteExW\)(.*/\1/')
    check_eq "COM started once, apartment-threaded without OLE1 DDE, before the first shell command" \
        $'Call combase.CoInitializeEx(00000000,00000006)\nCall shell32.ShellExecuteExW\nCall shell32.ShellExecuteExW' "$calls"

    close_program "$CAPTION"
fi
kd_running "$KD_PID" && stop_pid "$KD_PID"
for library in $LIBRARIES; do
    check_eq "$library comes from the system folder" "C:\\\\windows\\\\system32\\\\$library.dll" \
        "$(loaded_from $library | sort -u)"
done
check_eq "nothing loaded from the program's folder but the program" 'C:\\kd\\KeyDeputy.exe' \
    "$(program_trace | grep -o 'Loaded L"C:\\\\kd\\\\[^"]*"' | sed 's/^Loaded L"//; s/"$//' | sort -u)"
check_eq "no stand-in left a marker" "" "$(cd "$KD_DRIVE_C/kd" && ls -- *.loaded 2>/dev/null)"
e2e_end
