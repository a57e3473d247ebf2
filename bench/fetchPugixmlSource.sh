#!/usr/bin/env bash
# Puts pugixml.cpp of Debian's pugixml source package into DEST (default: the
# current folder). Debian's libpugixml is built for char only and its -dev package
# ships no source, so the benchmark compiles the library itself in wchar_t mode.
# The version is the one of the installed headers; apt runs with a private list
# of source indexes, so the system's apt configuration is left alone.
set -euo pipefail
dest="$(mkdir -p "${1:-.}" && cd "${1:-.}" && pwd)"
[ -f "$dest/pugixml.cpp" ] && exit 0
version="$(dpkg-query -W -f='${Version}' libpugixml-dev)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/parts" "$work/lists/partial" "$work/src"
cat > "$work/parts/debian-src.sources" <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
apt_options=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$work/parts"
             -o "Dir::State::Lists=$work/lists" -o "APT::Sandbox::User=root")
apt-get "${apt_options[@]}" -qq update
(cd "$work/src" && apt-get "${apt_options[@]}" -qq source --download-only "pugixml=$version")
tar -xzf "$work"/src/pugixml_*.orig.tar.gz -C "$work/src" --wildcards --strip-components=2 '*/src/pugixml.cpp'
mv "$work/src/pugixml.cpp" "$dest/pugixml.cpp"
