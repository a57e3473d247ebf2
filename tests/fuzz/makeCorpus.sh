#!/usr/bin/env bash
# Rebuilds the committed seed corpora from the readable sources in seeds/ and the
# sample configuration. Inputs are little-endian UTF-16 without a byte-order mark,
# as the file loader hands text to the parser; the XML target's inputs start with
# its mode byte (see xmlParseFuzz.cpp: 2 expects the root KeyDeputy, 0 no root,
# 6 also turns trimming off). Run from anywhere.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
xml="$here/corpus/xml"
config="$here/corpus/config"
rm -rf "$xml" "$config"
mkdir -p "$xml" "$config"

utf16() { sed '1s/^\xEF\xBB\xBF//' "$1" | iconv -f UTF-8 -t UTF-16LE; }
# seed NAME MODE SOURCE: the XML target's input; configurations also go to config/.
seed() {
    { printf "\\x$(printf %02x "$2")"; utf16 "$3"; } > "$xml/$1"
    case "$1" in sample | config*) utf16 "$3" > "$config/$1" ;; esac
}

seed sample 2 "$root/examples/KeyDeputy.xml"
seed sample-noroot 0 "$root/examples/KeyDeputy.xml"
seed sample-untrimmed 6 "$root/examples/KeyDeputy.xml"
for f in "$here"/seeds/*.xml; do
    name="$(basename "$f" .xml)"
    case "$name" in config*) seed "$name" 2 "$f" ;; *) seed "$name" 0 "$f" ;; esac
done

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
# Nesting at the parser's depth limit (root and 菜单 included) and one level past it.
for depth in 1000 1001; do
    { printf '<KeyDeputy><菜单>'
      for ((i = 0; i < depth - 3; ++i)); do printf '<m>'; done
      printf '<x 快捷键="Ctrl+A">音量+</x>'
      for ((i = 0; i < depth - 3; ++i)); do printf '</m>'; done
      printf '</菜单></KeyDeputy>'; } > "$tmp/deep$depth.xml"
    seed "config-deep$depth" 2 "$tmp/deep$depth.xml"
done
# A command of 1023 characters fits its record, one of 1024 is left out.
for length in 1023 1024; do
    { printf '<KeyDeputy><菜单><短>calc.exe</短><长 快捷键="Alt+L">'
      printf 'x%.0s' $(seq "$length")
      printf '</长><后>记事本</后></菜单></KeyDeputy>'; } > "$tmp/command$length.xml"
    seed "config-command$length" 2 "$tmp/command$length.xml"
done
