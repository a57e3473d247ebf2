#!/usr/bin/env bash
# Shell commands as people write them, run by a recorder that writes its own command
# line and working folder: a line with arguments, 参数 and 起始位置, a quoted program
# path with blanks, relative paths while the program was started from another folder,
# %NAME% expansion, a command the shell opens whole, and the failure box (other
# commands run while it is open; a quit ends it and the program with nothing else).
. "$(dirname "$0")/e2e.sh"
e2e_begin
# The recorders end at once; Wine's desktop must not end and restart inside a $(drv ...).
kd_keep_desktop

CAPTION="命令测试"
RECORDER=$(dirname "$KD_DRIVER")/kdrecorder.exe
KD=$KD_DRIVE_C/kd
kd_install kd
mkdir -p "$KD/tools" "$KD/Program Files/App" "$KD_DRIVE_C/elsewhere"
for program in tools/line tools/attr tools/rel tools/rel2 tools/env "Program Files/App/app" \
        "Program Files/App/app2" "Program Files/App/app3"; do
    cp "$RECORDER" "$KD/$program.exe"
done
# The whole text names a file, and its first part names another: only the whole may run.
printf '@echo off\r\necho whole> C:\\kd\\whole.txt\r\n' >"$KD/two.bat words.bat"
printf '@echo off\r\necho split> C:\\kd\\split.txt\r\n' >"$KD/two.bat"
kd_xml kd utf16 <<'EOF'
<?xml version="1.0" encoding="UTF-16"?>
<KeyDeputy>
<设置><名称>命令测试</名称></设置>
<菜单>
  <行>C:\kd\tools\line.exe alpha "b c"</行>
  <参 参数="p1 %KDWORD%" 起始位置="tools">C:\kd\tools\attr.exe</参>
  <引>"C:\kd\Program Files\App\app.exe" --profile work</引>
  <空>C:\kd\Program Files\App\app2.exe --x</空>
  <相>tools\rel.exe r1</相>
  <相二>tools\rel2.exe</相二>
  <环 起始位置="%KDTOOLS%">%KDTOOLS%\env.exe %KDWORD%</环>
  <整>C:\kd\two.bat words.bat</整>
  <缺>C:\kd\nothing\gone.exe -x</缺>
  <无参>"C:\kd\Program Files\App\app3.exe"</无参>
</菜单>
</KeyDeputy>
EOF

# record PROGRAM FIELD: one field of what the recorder C:\kd\PROGRAM.exe wrote.
record() { sed -n "s/^$2=//p" "$KD/$1.exe.txt" | tr -d '\r'; }
# run_recorded ID PROGRAM: chooses the entry and waits for its record.
run_recorded() {
    rm -f "$KD/$2.exe.txt"
    drv command "$CAPTION" "$1" >/dev/null
    wait_file "$KD/$2.exe.txt" 10
}

# Started from another folder, as the autostart value starts it from the system folder.
export KDWORD=word KDTOOLS='C:\kd\tools'
kd_start kd "" elsewhere
check "main window" drv main "$CAPTION" --timeout 15000
pid=$(drv main "$CAPTION" | cut -f2)

if check "a line: the program runs" run_recorded 1024 tools/line; then
    check_match "a line: its arguments" ' alpha "b c"$' "$(record tools/line line)"
    check_match "a line: its program" '^"?C:\\kd\\tools\\line\.exe"? ' "$(record tools/line line)"
    check_eq "a line: started in the program's folder, not the current one" 'C:\kd' "$(record tools/line folder)"
fi
if check "参数: the program runs" run_recorded 1025 tools/attr; then
    check_match "参数: expanded and passed" ' p1 word$' "$(record tools/attr line)"
    check_eq "起始位置: relative, from the program's folder" 'C:\kd\tools' "$(record tools/attr folder)"
fi
if check "a quoted program path with blanks runs" run_recorded 1026 "Program Files/App/app"; then
    check_match "with its arguments" 'app\.exe"? --profile work$' "$(record "Program Files/App/app" line)"
fi
if check "an unquoted program path with blanks runs" run_recorded 1027 "Program Files/App/app2"; then
    check_match "with its argument" 'app2\.exe"? --x$' "$(record "Program Files/App/app2" line)"
fi
if check "a relative program with an argument runs" run_recorded 1028 tools/rel; then
    check_match "with its argument" 'rel\.exe"? r1$' "$(record tools/rel line)"
fi
check "a relative program alone runs" run_recorded 1029 tools/rel2
if check "%NAME% in the command runs the program" run_recorded 1030 tools/env; then
    check_match "and in its argument" 'env\.exe"? word$' "$(record tools/env line)"
    check_eq "and in 起始位置" 'C:\kd\tools' "$(record tools/env folder)"
fi
check "a text opened whole runs as before" run_recorded 1033 "Program Files/App/app3"

drv command "$CAPTION" 1031 >/dev/null
check "a command the shell opens whole is opened whole" wait_file "$KD/whole.txt" 10
sleep 1
check_not "and never split" test -e "$KD/split.txt"
check_eq "no box for what ran" "0" "$(drv boxes "$CAPTION")"

# A missing program: the box names it and gives the reason; the program goes on.
drv command "$CAPTION" 1032 >/dev/null
if box_read "$CAPTION" --timeout 10000; then
    check_match "failure box names the command" '^无法打开“C:\\\\kd\\\\nothing\\\\gone\.exe -x”。\\n.' "$(box_field text)"
    check_eq "failure box has only OK" "ok" "$(box_field buttons)"
    check_eq "failure box warns" "warning" "$(box_field icon)"
    check "while it is open another command runs" run_recorded 1024 tools/line
    check_eq "one box, not the shell's own as well" "1" "$(drv list --pid "$pid" --class '#32770' | awk -F'\t' '$5 == 1' | grep -c .)"
    drv answer "$CAPTION" ok >/dev/null
    sleep 1
    check "closed: the program runs on" drv main "$CAPTION" --timeout 500
    check_eq "closed: nothing else is shown" "0" "$(drv boxes "$CAPTION")"
else
    e2e_fail "a missing program shows the failure box"
fi

# A quit while the box is open ends the box and the program.
drv command "$CAPTION" 1032 >/dev/null
if drv box "$CAPTION" --timeout 10000 >/dev/null; then
    drv post "$CAPTION" 16 0 0 >/dev/null
    if kd_wait_exit "$KD_PID" 20; then
        check_eq "a quit inside the failure box ends the program with code 0" "0" "$KD_EXIT"
    else
        e2e_fail "a quit inside the failure box ends the program"
        stop_pid "$KD_PID"
    fi
else
    e2e_fail "the failure box again"
fi
