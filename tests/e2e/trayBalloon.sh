#!/usr/bin/env bash
# The start-up balloon: shown only when 提示/显示 is 是, with 内容 (or the built-in
# text); never when the icon comes back through 隐藏图标. Wine's tray shows a balloon as
# a visible tooltip window whose title is the balloon text, about two seconds late.
. "$(dirname "$0")/e2e.sh"
e2e_begin

CAPTION="KeyDeputy v2.0"
# The texts of the visible balloons, one a line.
balloons() { drv list --class tooltips_class32 | awk -F'\t' '$5 == 1 && $3 != "" { print $3 }'; }
wait_balloon() {
    local i
    for ((i = 0; i < $1 * 4; i++)); do
        [ -n "$(balloons)" ] && return 0
        sleep 0.25
    done
    return 1
}
quit() {
    drv command "$CAPTION" "$1"
    drv answer "$CAPTION" yes --timeout 5000
    kd_wait_exit "$KD_PID" 20
    drv icons 0 --timeout 5000 >/dev/null
}

kd_install kd
kd_xml kd utf16 <<'EOF'
<KeyDeputy>
<提示><显示>是</显示><内容>气球正文</内容><标题>气球标题</标题></提示>
<菜单><隐藏图标>隐藏图标</隐藏图标><退出程序>退出程序</退出程序></菜单>
</KeyDeputy>
EOF
kd_start kd
check "显示 是: a balloon appears" wait_balloon 8
check_eq "显示 是: it shows 内容" "气球正文" "$(balloons)"
drv command "$CAPTION" 1024
check "隐藏图标: icon removed" drv icons 0 --timeout 5000
check_eq "隐藏图标: its balloon goes with it" "" "$(balloons)"
drv command "$CAPTION" 1024
check "隐藏图标 again: icon back" drv icons 1 --timeout 5000
check_not "隐藏图标 again: no balloon" wait_balloon 4
quit 1025

kd_xml kd utf16 <<'EOF'
<KeyDeputy>
<提示><显示>是</显示></提示>
<菜单><退出程序>退出程序</退出程序></菜单>
</KeyDeputy>
EOF
kd_start kd
check "显示 是 without 内容: a balloon appears" wait_balloon 8
check_eq "显示 是 without 内容: the built-in text" "您正在使用青禾出品的免费小软件KeyDeputy v2.0" "$(balloons)"
quit 1024

kd_xml kd utf16 <<'EOF'
<KeyDeputy>
<提示><显示>是的</显示><内容>不该出现</内容></提示>
<菜单><退出程序>退出程序</退出程序></菜单>
</KeyDeputy>
EOF
kd_start kd
check "显示 other than 是: the icon is there" drv icons 1 --timeout 15000
check_not "显示 other than 是: no balloon" wait_balloon 5
quit 1024
