#!/usr/bin/env bash
# Builds the product a second time, later, from a copy of the source tree in
# another folder, and compares it byte for byte with this build: the shipped
# files (through their SHA256SUMS), the executable and the release archive.
# Then checks what the archive holds.
#   reproducibleBuild.sh SOURCE_DIR BUILD_DIR VERSION [EXTRA_PROGRAM.exe]
set -u
src=$1 build=$2 version=$3 extra=${4:-}
top=KeyDeputy-$version-win64
failed=0
pass() { echo "PASS $*"; }
fail() { echo "FAIL $*"; failed=1; }

tmp=$(mktemp -d /tmp/kdreproducible.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
# The archive's entry time comes from git, which the copy has not.
SOURCE_DATE_EPOCH=$(git -C "$src" log -1 --format=%ct 2>/dev/null) || SOURCE_DATE_EPOCH=315532800
export SOURCE_DATE_EPOCH

# The copy leaves out build folders and git's data.
mkdir "$tmp/src"
tar -C "$src" --exclude=./build --exclude=./.git -cf - . | tar -C "$tmp/src" -xf - || { echo "FAIL copy"; exit 1; }
type=$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt")
# Product targets only: no tests.
cmake -S "$tmp/src" -B "$tmp/build" -G Ninja -DCMAKE_BUILD_TYPE="$type" -DBUILD_TESTING=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$tmp/src/cmake/mingw-w64-x86_64.cmake" >"$tmp/configure.log" 2>&1 &&
    nice cmake --build "$tmp/build" >"$tmp/build.log" 2>&1 || { cat "$tmp/configure.log" "$tmp/build.log"; echo "FAIL second build"; exit 1; }

if cmp "$build/app/KeyDeputy.exe" "$tmp/build/app/KeyDeputy.exe"; then pass "KeyDeputy.exe identical"; else fail "KeyDeputy.exe differs"; fi
if cmp -s "$build/release/SHA256SUMS" "$tmp/build/release/SHA256SUMS"; then
    pass "shipped files identical: $(cut -d' ' -f3 "$build/release/SHA256SUMS" | tr '\n' ' ')"
else
    fail "shipped files differ:"; diff "$build/release/SHA256SUMS" "$tmp/build/release/SHA256SUMS"
fi

zip=$top.zip
for side in first:"$build" second:"$tmp/build"; do
    cpack --config "${side#*:}/CPackConfig.cmake" -B "$tmp/${side%%:*}" >"$tmp/cpack.log" 2>&1 &&
        [ -f "$tmp/${side%%:*}/$zip" ] || { cat "$tmp/cpack.log"; fail "cpack ($side)"; exit 1; }
done
if cmp "$tmp/first/$zip" "$tmp/second/$zip"; then pass "$zip identical"; else fail "$zip differs"; fi

# Contents: exactly these files, in name order, under one folder.
want=$(printf '%s\n' KeyDeputy.exe KeyDeputy.xml SHA256SUMS UserGuide.txt $extra | LC_ALL=C sort | sed "s|^|$top/|")
got=$(cmake -E tar tf "$tmp/first/$zip")
if [ "$got" = "$want" ]; then pass "entries: $(echo $got)"; else fail "entries:"; echo "$got"; echo "expected:"; echo "$want"; fi
mkdir "$tmp/unpacked"
(cd "$tmp/unpacked" && cmake -E tar xf "$tmp/first/$zip") || fail "unpack"
u=$tmp/unpacked/$top
cmp -s "$u/KeyDeputy.exe" "$build/app/KeyDeputy.exe" && pass "archive holds the built KeyDeputy.exe" || fail "archive's KeyDeputy.exe"
cmp -s "$u/KeyDeputy.xml" "$src/examples/KeyDeputy.xml" && pass "archive holds the sample" || fail "archive's KeyDeputy.xml"
if (cd "$u" && sha256sum --quiet -c SHA256SUMS) && [ "$(wc -l <"$u/SHA256SUMS")" = "$(($(echo "$want" | wc -l) - 1))" ]; then
    pass "SHA256SUMS covers and matches every other file"
else
    fail "SHA256SUMS"; cat "$u/SHA256SUMS"
fi

# The guide: UTF-8 with a byte-order mark and CR LF line ends, README's Chinese user
# sections whole (every heading), none of its English ones.
g=$u/UserGuide.txt
[ "$(head -c 3 "$g" | od -An -tx1 | tr -d ' ')" = efbbbf ] && pass "guide starts with the UTF-8 mark" || fail "guide has no UTF-8 mark"
iconv -f UTF-8 -t UTF-8 "$g" >/dev/null 2>&1 && pass "guide is valid UTF-8" || fail "guide is not valid UTF-8"
[ "$(tr -cd '\n' <"$g" | wc -c)" = "$(grep -c $'\r$' "$g")" ] && pass "guide has CR LF line ends" || fail "guide has bare LF line ends"
headings=$(sed -n '/^## 使用方法$/,/^## Configuration summary/p' "$src/README.md" | sed -n 's/^##* //p' | grep -v '^Configuration summary')
missing=0
while IFS= read -r heading; do grep -qF "$heading" "$g" || { echo "  missing heading: $heading"; missing=1; }; done <<<"$headings"
[ $missing = 0 ] && [ -n "$headings" ] && pass "guide has all $(echo "$headings" | wc -l) headings" || fail "guide lacks headings"
grep -qE 'Configuration summary|Performance|Fuzzing' "$g" && fail "guide holds English sections" || pass "guide holds no English section"
exit $failed
