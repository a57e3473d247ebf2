#!/usr/bin/env bash
# KeyDeputyCheck.exe beside its configuration: a hotkey another process holds right now
# is reported as taken, and only while it is held; a plain path that names nothing is
# reported too. Output redirected to a file is UTF-8.
. "$(dirname "$0")/e2e.sh"
: "${KD_CHECK:?KD_CHECK names KeyDeputyCheck.exe}"
e2e_begin

mkdir -p "$KD_DRIVE_C/kd"
cp "$KD_CHECK" "$KD_DRIVE_C/kd/KeyDeputyCheck.exe"
make_bat mark
kd_xml kd ansi <<'EOF2'
<KeyDeputy>
<菜单>
  <记号 快捷键="Ctrl+Alt+N">C:\kd\mark.bat</记号>
  <被占 快捷键="Ctrl+Alt+J">C:\kd\mark.bat</被占>
  <不存在>C:\kd\nothing.bat</不存在>
  <退出>退出程序</退出>
</菜单>
</KeyDeputy>
EOF2

# run_check OUT ARGS...: the checker started from another folder, so that without a
# file it must find the configuration beside itself; KD_EXIT is its exit code.
run_check() {
    local out=$1
    shift
    (cd "$KD_DRIVE_C" && wine 'C:\kd\KeyDeputyCheck.exe' "$@") >"$out" 2>/dev/null </dev/null
    KD_EXIT=$?
}

run_check "$KD_RUN_DIR/free.json" --json
check_eq "nothing held: warnings only for the missing file" 1 "$KD_EXIT"
check_not "nothing held: no hotkey reported taken" grep -q '"hotkey-taken"' "$KD_RUN_DIR/free.json"
check "the missing plain path is reported at its line" \
    grep -q '"line":5,"column":8,"code":"shell-missing"' "$KD_RUN_DIR/free.json"
check "the file is read in code page 936" grep -q '"encoding":"ANSI 936"' "$KD_RUN_DIR/free.json"
check "without FILE it checks KeyDeputy.xml beside itself" \
    grep -qF '"file":"C:\\kd\\KeyDeputy.xml"' "$KD_RUN_DIR/free.json"
check "redirected JSON is the JSON alone, no prompt after it" \
    python3 -c 'import json, sys; json.load(open(sys.argv[1], encoding="utf-8"))' "$KD_RUN_DIR/free.json"

# From a folder path past 260 characters it still finds the file beside itself,
# not the one in the current folder.
LONG='kd'
for part in 1 2 3 4 5 6; do LONG="$LONG/folder-$part-with-a-name-long-enough-to-add-up-quickly"; done
mkdir -p "$KD_DRIVE_C/$LONG"
cp "$KD_CHECK" "$KD_DRIVE_C/$LONG/KeyDeputyCheck.exe"
printf '<KeyDeputy><菜单><退出>退出程序</退出></菜单></KeyDeputy>' >"$KD_DRIVE_C/$LONG/KeyDeputy.xml"
printf '<KeyDeputy><菜单><decoy>decoy.bat</decoy></菜单></KeyDeputy>' >"$KD_DRIVE_C/KeyDeputy.xml"
(cd "$KD_DRIVE_C" && wine "$(win_path "$LONG")\\KeyDeputyCheck.exe" --json) >"$KD_RUN_DIR/long.json" 2>/dev/null </dev/null
check_eq "a long folder path: the file beside the checker" "$(win_path "$LONG")\\KeyDeputy.xml" \
    "$(python3 -c 'import json, sys; print(json.load(open(sys.argv[1], encoding="utf-8"))["file"])' "$KD_RUN_DIR/long.json")"
rm -f "$KD_DRIVE_C/KeyDeputy.xml"

drv_bg "$KD_RUN_DIR/hold.out" hold ctrl+alt+j --seconds 120
holder=$KD_BG_PID
check "the driver holds Ctrl+Alt+J" wait_line "$KD_RUN_DIR/hold.out" holding 15

run_check "$KD_RUN_DIR/held.json" --json
check_eq "a held hotkey is a warning" 1 "$KD_EXIT"
check "the held hotkey is reported at its attribute" \
    grep -q '"line":4,"column":7,"code":"hotkey-taken"' "$KD_RUN_DIR/held.json"
check "and marked unusable in the item table" \
    grep -q '"hotkey":"Ctrl+Alt+J","hotkeyUsable":false' "$KD_RUN_DIR/held.json"
check "the free one stays usable" grep -q '"hotkey":"Ctrl+Alt+N","hotkeyUsable":true' "$KD_RUN_DIR/held.json"

run_check "$KD_RUN_DIR/held.txt"
check "the text report says so in Chinese (UTF-8)" grep -q '被另一个程序占用' "$KD_RUN_DIR/held.txt"

stop_pid "$holder"

run_check "$KD_RUN_DIR/bad.txt" --bogus
check_eq "an unknown option is bad usage" 3 "$KD_EXIT"
