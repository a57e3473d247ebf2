#!/usr/bin/env bash
# Start-up time to the tray icon and idle memory: KeyDeputy.exe against minimalTray.exe,
# which makes the same platform calls with none of our code, for the sample
# configuration and for a generated one of 50 entries and 20 hotkeys. Starts are
# interleaved (KeyDeputy, minimal, KeyDeputy, minimal ...) under one warm wineserver,
# so drift hits both alike.
#
#   startupTime.sh [--runs N] [--memory-rounds M] [--enforce-goal]
#
# N rounds (default 20), each starting all four once. It prints every start, then per
# configuration the medians, quartiles and range and the ratio KeyDeputy / minimal
# (of the medians, and the median of the per-round ratios). Then M rounds (default 3)
# start each program again and read its resident and private memory once it idles
# with its icon shown; per configuration the medians and the ratios. The checks are
# only that the measurements themselves work; --enforce-goal also fails when the time
# ratio is above 1.05 or the resident memory ratio above 1.10.
# Environment as for tests/e2e, plus KD_MINIMAL (minimalTray.exe).
. "$(dirname "$0")/../e2e/e2e.sh"
: "${KD_MINIMAL:?KD_MINIMAL names minimalTray.exe}"

RUNS=20
MEMORY_ROUNDS=3
ENFORCE=0
# The first round warms the file cache and Wine's own start-up paths; it is not counted.
WARMUP=1
while [ $# -gt 0 ]; do
    case $1 in
        --runs) RUNS=$2; shift 2 ;;
        --memory-rounds) MEMORY_ROUNDS=$2; shift 2 ;;
        --enforce-goal) ENFORCE=1; shift ;;
        *) echo "usage: $0 [--runs N] [--memory-rounds M] [--enforce-goal]" >&2; exit 2 ;;
    esac
done
GOAL=1.05
MEMORY_GOAL=1.10
# Memory is read this long after the icon, when start-up work has settled.
SETTLE_SECONDS=3

# "Ctrl+Alt+PgUp" -> "3,0x21" (MOD_* bits, virtual key) for minimalTray's --hotkey.
hotkey_code() {
    local text=${1,,} mods=0 word key=
    IFS=+ read -ra words <<<"$text"
    for word in "${words[@]}"; do
        case $word in
            alt) mods=$((mods | 1)) ;;
            ctrl) mods=$((mods | 2)) ;;
            shift) mods=$((mods | 4)) ;;
            win) mods=$((mods | 8)) ;;
            pgup) key=0x21 ;;
            pgdn) key=0x22 ;;
            end) key=0x23 ;;
            home) key=0x24 ;;
            f[0-9]|f1[0-9]) key=$(printf '0x%X' $((0x6F + ${word#f}))) ;;
            [a-z0-9]) key=$(printf '0x%X' "'${word^^}") ;;
            *) return 1 ;;
        esac
    done
    [ -n "$key" ] && printf '%d,%s' "$mods" "$key"
}

# minimal_args HOTKEY...: the --hotkey options for those combinations.
minimal_hotkeys() {
    local combo code
    for combo in "$@"; do
        code=$(hotkey_code "$combo") || { echo "cannot code hotkey $combo" >&2; return 1; }
        printf ' --hotkey %s' "$code"
    done
}

e2e_begin

# ----- the sample configuration -----
kd_install kd
cp "$E2E_DIR/../../examples/KeyDeputy.xml" "$KD_DRIVE_C/kd/KeyDeputy.xml"
mkdir -p "$KD_DRIVE_C/min"
cp "$KD_MINIMAL" "$KD_DRIVE_C/min/minimalTray.exe"
cp "$KD_DRIVE_C/kd/KeyDeputy.xml" "$KD_DRIVE_C/min/minimalTray.xml"
# Hotkeys of elements only: the sample's comments show the attribute too.
mapfile -t SAMPLE_HOTKEYS < <(grep -E '^[[:space:]]*<[^!]' "$KD_DRIVE_C/kd/KeyDeputy.xml" | grep -o '快捷键="[^"]*"' |
                              sed 's/^快捷键="//; s/"$//')
# The sample's menu: 23 entries, 8 separators, 5 submenus; caption KeyDeputy, single
# instance, autostart off, the start-up balloon on.
SAMPLE_MINIMAL="C:\\min\\minimalTray.exe --caption KeyDeputy --single --balloon --menu 23,8,5$(minimal_hotkeys "${SAMPLE_HOTKEYS[@]}")"

# ----- 50 entries (10 at the top, 5 submenus of 8), 7 separators, 20 hotkeys -----
GEN_CAPTION="KeyDeputy 50"
GEN_HOTKEYS=()
for i in $(seq 1 12); do GEN_HOTKEYS+=("Ctrl+Shift+F$i"); done
for i in $(seq 1 8); do GEN_HOTKEYS+=("Shift+Alt+F$i"); done
COMMANDS=("音量+" "音量-" "静音" "亮度+" "notepad.exe" "C:\\" "分辨率(1024,768)" "屏幕截图")
generated_xml() {
    local n=0 h=0 s e
    item() {
        local key=
        [ $h -lt ${#GEN_HOTKEYS[@]} ] && [ $((n % 5)) -lt 2 ] && key=" 快捷键=\"${GEN_HOTKEYS[h++]}\""
        printf '    <条目%02d%s>%s</条目%02d>\n' "$n" "$key" "${COMMANDS[n % ${#COMMANDS[@]}]}" "$n"
        n=$((n + 1))
    }
    printf '<?xml version="1.0" encoding="utf-8"?>\n<KeyDeputy>\n<设置><名称>%s</名称><单实例>否</单实例><自启动>否</自启动></设置>\n' "$GEN_CAPTION"
    printf '<提示><显示>否</显示></提示>\n<菜单>\n'
    for e in $(seq 5); do item; done
    printf '    <分割条/>\n'
    for s in $(seq 5); do
        printf '    <子菜单%d>\n' "$s"
        for e in $(seq 4); do item; done
        printf '    <分割条/>\n'
        for e in $(seq 4); do item; done
        printf '    </子菜单%d>\n' "$s"
    done
    printf '    <分割条/>\n'
    for e in $(seq 5); do item; done
    printf '</菜单>\n</KeyDeputy>\n'
    [ $n -eq 50 ] && [ $h -eq 20 ]
}
kd_install kdgen
generated_xml >"$KD_RUN_DIR/generated.xml" || e2e_fail "the generated configuration has 50 entries and 20 hotkeys"
kd_xml kdgen utf8-bom <"$KD_RUN_DIR/generated.xml"
mkdir -p "$KD_DRIVE_C/mingen"
cp "$KD_MINIMAL" "$KD_DRIVE_C/mingen/minimalTray.exe"
cp "$KD_DRIVE_C/kdgen/KeyDeputy.xml" "$KD_DRIVE_C/mingen/minimalTray.xml"
GEN_MINIMAL="C:\\mingen\\minimalTray.exe --caption \"$GEN_CAPTION\" --menu 50,7,5$(minimal_hotkeys "${GEN_HOTKEYS[@]}")"

check_eq "the generated file really has 20 hotkeys" "20" "$(grep -o '快捷键=' "$KD_DRIVE_C/kdgen/KeyDeputy.xml" | wc -l)"
check_eq "the sample has 10 hotkeys" "10" "${#SAMPLE_HOTKEYS[@]}"

LINES=('C:\kd\KeyDeputy.exe' "$SAMPLE_MINIMAL" 'C:\kdgen\KeyDeputy.exe' "$GEN_MINIMAL")
LABELS=("KeyDeputy, sample" "minimal, sample" "KeyDeputy, generated" "minimal, generated")
CAPTIONS=("KeyDeputy" "KeyDeputy" "$GEN_CAPTION" "$GEN_CAPTION")

# start_line INDEX: starts that command line with wine; pid is its own Unix process.
start_line() {
    local cmdline=${LINES[$1]} exe dir args
    exe=${cmdline%%.exe*}.exe
    dir=${exe#C:\\}
    dir=${dir%\\*}
    args=${cmdline#"$exe"}
    (cd "$(unix_path "$dir")" && eval "exec wine '$exe' $args") >/dev/null 2>&1 &
    pid=$!
    E2E_STARTED_PIDS+=("$pid")
}

# Both programs of a pair must do the same work: every hotkey of the configuration is
# held while either one runs (a refused one would also stop KeyDeputy at a warning).
for index in 0 1 2 3; do
    start_line $index
    if [ $index -lt 2 ]; then combos=("${SAMPLE_HOTKEYS[@]}"); else combos=("${GEN_HOTKEYS[@]}"); fi
    if drv icons 1 --timeout 20000 >/dev/null; then
        held=0
        for combo in "${combos[@]}"; do drv hotkey "$combo" >/dev/null && held=$((held + 1)); done
        check_eq "${LABELS[index]}: all ${#combos[@]} hotkeys held" "${#combos[@]}" "$held"
        check_eq "${LABELS[index]}: no warning box" "0" "$(drv boxes "${CAPTIONS[index]}")"
    else
        e2e_fail "${LABELS[index]}: tray icon shown"
    fi
    drv post "${CAPTIONS[index]}" 0x10 0 0 >/dev/null
    kd_wait_exit "$pid" 20 || e2e_fail "${LABELS[index]}: ended after WM_CLOSE"
    drv icons 0 --timeout 20000 >/dev/null
done

# ----- the measurement -----
all=$KD_RUN_DIR/startup-all.tsv
out=$KD_RUN_DIR/startup.tsv
echo "startup: $WARMUP warm-up and $RUNS counted rounds of 4 starts"
drv startup --runs "$((RUNS + WARMUP))" --timeout 20000 "${LINES[@]}" >"$all"
code=$?
cat "$all"
awk -F'\t' -v w="$WARMUP" '/^#/ || $1 > w' "$all" >"$out"
check_eq "every start measured (driver exit code)" "0" "$code"
check_eq "number of starts measured" "$(((RUNS + WARMUP) * 4))" "$(grep -vc '^#' "$all")"
# Times are sane: the window before the icon, the icon within 10 s, every end with code 0.
bad=$(awk -F'\t' '!/^#/ && !($4 > 0 && $5 >= $4 && $5 < 10000 && $6 > 0 && $7 == 0)' "$all")
check_eq "every start has 0 < window <= icon < 10 s and ended with 0" "" "$bad"

# stats INDEX: median, quartiles, min and max of the icon times of one command line.
stats() {
    awk -F'\t' -v i="$1" '!/^#/ && $2 == i {print $5}' "$out" | sort -n | awk '
        {v[NR] = $1}
        function q(p,   r, lo) { r = 1 + (NR - 1) * p; lo = int(r); return v[lo] + (r - lo) * (v[lo + 1 < NR ? lo + 1 : NR] - v[lo]) }
        END { if (NR) printf "%.1f %.1f %.1f %.1f %.1f", q(0.5), q(0.25), q(0.75), v[1], v[NR] }'
}
# round_ratios A B: per round, icon time of A over that of B; median, min, max.
round_ratios() {
    awk -F'\t' -v a="$1" -v b="$2" '!/^#/ {t[$1 "," $2] = $5; r[$1] = 1}
        END { for (k in r) if (t[k "," b] > 0) print t[k "," a] / t[k "," b] }' "$out" | sort -g | awk '
        {v[NR] = $1}
        END { if (NR) printf "%.2f %.2f %.2f", (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2), v[1], v[NR] }'
}

goal_missed=0
for pair in "0 1 sample" "2 3 generated"; do
    read -r a b name <<<"$pair"
    read -r kd_med kd_q1 kd_q3 kd_min kd_max <<<"$(stats "$a")"
    read -r mn_med mn_q1 mn_q3 mn_min mn_max <<<"$(stats "$b")"
    read -r rr_med rr_min rr_max <<<"$(round_ratios "$a" "$b")"
    ratio=$(awk -v x="$kd_med" -v y="$mn_med" 'BEGIN {printf "%.2f", x / y}')
    echo "RESULT $name: KeyDeputy median $kd_med ms (quartiles $kd_q1-$kd_q3, range $kd_min-$kd_max)," \
         "minimal median $mn_med ms (quartiles $mn_q1-$mn_q3, range $mn_min-$mn_max);" \
         "ratio of medians $ratio, per-round ratio median $rr_med (range $rr_min-$rr_max), $RUNS rounds"
    if awk -v r="$ratio" -v g="$GOAL" 'BEGIN {exit !(r <= g)}'; then
        echo "RESULT $name: goal <= ${GOAL}x met"
    else
        echo "RESULT $name: goal <= ${GOAL}x missed"
        goal_missed=1
    fi
done
[ $ENFORCE -eq 1 ] && check_eq "start-up within ${GOAL}x of the minimal program" "0" "$goal_missed"

# ----- idle memory -----
# Resident (VmRSS) and private (pages no other process maps) memory of the program's own
# Unix process, in kB, once it idles with its icon shown.
memory=$KD_RUN_DIR/memory.tsv
echo "memory: $MEMORY_ROUNDS rounds of 4 starts, read ${SETTLE_SECONDS} s after the icon"
printf '# round\tindex\tresident_kB\tprivate_kB\n' >"$memory"
for round in $(seq "$MEMORY_ROUNDS"); do
    for index in 0 1 2 3; do
        start_line $index
        if drv icons 1 --timeout 20000 >/dev/null; then
            sleep "$SETTLE_SECONDS"
            resident=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status" 2>/dev/null)
            private=$(awk '/^Private_(Clean|Dirty):/ {n += $2} END {print n}' "/proc/$pid/smaps_rollup" 2>/dev/null)
            printf '%s\t%s\t%s\t%s\n' "$round" "$index" "$resident" "$private" >>"$memory"
        fi
        drv post "${CAPTIONS[index]}" 0x10 0 0 >/dev/null
        kd_wait_exit "$pid" 20 || e2e_fail "${LABELS[index]}: ended after WM_CLOSE (memory round $round)"
        drv icons 0 --timeout 20000 >/dev/null
    done
done
cat "$memory"
check_eq "every memory reading taken" "$((MEMORY_ROUNDS * 4))" \
    "$(awk -F'\t' '!/^#/ && $3 > 0 && $4 > 0' "$memory" | wc -l)"
# memory_median INDEX COLUMN: the median of one column for one command line, in MB.
memory_median() {
    awk -F'\t' -v i="$1" -v c="$2" '!/^#/ && $2 == i {print $c}' "$memory" | sort -n | awk '
        {v[NR] = $1}
        END { if (NR) printf "%.1f", (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) / 1024 }'
}
memory_missed=0
for pair in "0 1 sample" "2 3 generated"; do
    read -r a b name <<<"$pair"
    kd_res=$(memory_median "$a" 3) kd_priv=$(memory_median "$a" 4)
    mn_res=$(memory_median "$b" 3) mn_priv=$(memory_median "$b" 4)
    res_ratio=$(awk -v x="$kd_res" -v y="$mn_res" 'BEGIN {if (y > 0) printf "%.2f", x / y}')
    priv_ratio=$(awk -v x="$kd_priv" -v y="$mn_priv" 'BEGIN {if (y > 0) printf "%.2f", x / y}')
    echo "RESULT $name memory: KeyDeputy resident $kd_res MB, private $kd_priv MB;" \
         "minimal resident $mn_res MB, private $mn_priv MB; ratios resident $res_ratio, private $priv_ratio," \
         "medians of $MEMORY_ROUNDS rounds"
    if awk -v r="$res_ratio" -v g="$MEMORY_GOAL" 'BEGIN {exit !(r != "" && r <= g)}'; then
        echo "RESULT $name memory: goal <= ${MEMORY_GOAL}x met"
    else
        echo "RESULT $name memory: goal <= ${MEMORY_GOAL}x missed"
        memory_missed=1
    fi
done
[ $ENFORCE -eq 1 ] && check_eq "idle memory within ${MEMORY_GOAL}x of the minimal program" "0" "$memory_missed"
e2e_end
