#!/usr/bin/env bash
# Installs what the builds and tests need on Debian 12, only what is missing.
# Safe to run again. Runs as root (or through sudo when available).
set -euo pipefail
packages=(
    cmake ninja-build g++ clang libgtest-dev googletest libbenchmark-dev
    libclang-rt-14-dev libpugixml-dev libtinyxml2-dev
    g++-mingw-w64-x86-64-posix mingw-w64-tools
    wine wine64 xvfb xdotool x11-utils x11-apps locales imagemagick fonts-wqy-microhei perl
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }
if [ ${#missing[@]} -gt 0 ]; then
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
fi
# Wine runs in the Chinese locale (ANSI code page 936), which glibc must know.
if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
    as_root sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
fi
