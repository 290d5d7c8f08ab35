#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when any is missing. Run as root
# (or through sudo) on Debian 12 or newer.
set -euo pipefail

packages=(
    cmake ninja-build g++ g++-multilib pkg-config
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    wine wine64 wine32:i386 qemu-user
    xvfb xdotool libx11-dev libfreetype-dev libfontconfig-dev fonts-liberation
    libsndfile1-dev libpng-dev googletest libbenchmark-dev dpf-plugins-vst
    clang-14 libclang-rt-14-dev llvm-14
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}" >&2
    echo "Run this script as root (sudo $0) to install them." >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
# 32-bit Wine comes from the i386 architecture.
dpkg --add-architecture i386
apt-get update -qq
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
