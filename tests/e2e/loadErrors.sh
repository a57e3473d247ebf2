#!/usr/bin/env bash
# A configuration that cannot be used is reported in the load report box and ends the
# program with code 255, before any main window, tray icon or autostart change.
. "$(dirname "$0")/e2e.sh"
e2e_begin

REPORT="配置文件解析错误"
CAPTION="KeyDeputy v2.0"
FILE='C:\\\\kd\\\\KeyDeputy\.xml'  # a pattern for C:\kd\KeyDeputy.xml as the driver escapes it

# expect_report NAME TEXT_PATTERN: the box of a start that must fail, then its end.
expect_report() {
    local name=$1 pattern=$2
    kd_start kd
    if ! box_read "$REPORT" --timeout 15000; then
        e2e_fail "$name: load report shown"
        return
    fi
    check_match "$name: report text" "$pattern" "$(box_field text)"
    check_eq "$name: report has only OK" "ok" "$(box_field buttons)"
    check_eq "$name: report shows the error icon" "error" "$(box_field icon)"
    check_eq "$name: no main window while it is shown" "" "$(main_windows "$CAPTION")"
    check_eq "$name: no tray icon while it is shown" "0" "$(drv icons)"
    drv answer "$REPORT" ok
    if kd_wait_exit "$KD_PID" 15; then
        check_eq "$name: exit code" "255" "$KD_EXIT"
    else
        e2e_fail "$name: program ended after the report"
    fi
    check_eq "$name: no tray icon afterwards" "0" "$(drv icons)"
}

kd_install kd

# Missing file; an autostart value written before must survive it.
drv reg set "$CAPTION" 'C:\earlier\KeyDeputy.exe'
expect_report "missing file" \
    "^配置文件“${FILE}”解析错误。\\\\n错误: 文件未找到。\\\\n在 0行 0列。\\\\n$"
check_eq "missing file: autostart value untouched" $'REG_SZ\tC:\\earlier\\KeyDeputy.exe' "$(drv reg get "$CAPTION")"

# Not well formed: an unknown entity on line 3.
kd_xml kd utf16 <<'EOF'
<KeyDeputy>
<菜单>
<坏>&bogus;</坏>
</菜单>
</KeyDeputy>
EOF
expect_report "broken file" \
    "^配置文件“${FILE}”解析错误。\\\\n错误: 未知字符集。\\\\n在 3行 [0-9]+列。\\\\n$"

# Well formed, but the root is not KeyDeputy.
kd_xml kd utf16 <<'EOF'
<Config>
<菜单><记事本>notepad.exe</记事本></菜单>
</Config>
EOF
expect_report "wrong root" \
    "^配置文件“${FILE}”解析错误。\\\\n错误: 标签没找到。\\\\n在 0行 0列。\\\\nFirst Tag should be 'KeyDeputy'.\\\\n$"

# An empty file.
: >"$KD_DRIVE_C/kd/KeyDeputy.xml"
expect_report "empty file" \
    "^配置文件“${FILE}”解析错误。\\\\n错误: 没有数据。\\\\n在 0行 0列。\\\\n$"
