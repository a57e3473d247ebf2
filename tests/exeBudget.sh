#!/usr/bin/env bash
# Each program (KeyDeputy.exe, KeyDeputyCheck.exe) stays small and self-contained:
# at most 400 KB, and it imports only the platform's core DLLs; every other
# library is loaded from the system folder.
set -u
exe=$1
objdump=${2:-x86_64-w64-mingw32-objdump}
max=$((400 * 1024))
allowed=" advapi32.dll gdi32.dll kernel32.dll msvcrt.dll shell32.dll user32.dll "
failed=0
size=$(stat -c %s "$exe")
if [ "$size" -le "$max" ]; then echo "PASS size $size bytes (limit $max)"; else echo "FAIL size $size bytes > $max"; failed=1; fi
imports=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$imports" ] || { echo "FAIL no import table read"; exit 1; }
for dll in $imports; do
    case "$allowed" in
        *" $dll "*) echo "PASS imports $dll" ;;
        *) echo "FAIL imports $dll, which is not a core DLL"; failed=1 ;;
    esac
done
# A static build never needs the compiler's runtime DLLs.
"$objdump" -p "$exe" | grep -qiE 'libstdc\+\+|libgcc|libwinpthread' && { echo "FAIL links a compiler runtime DLL"; failed=1; }
exit $failed
