#!/usr/bin/env bash
# Installs what building and testing need, by Debian package name. Quick when all is there.
set -euo pipefail

packages=(
    make cmake g++ clang libclang-rt-14-dev clang-format ccache
    googletest libgtest-dev libbenchmark-dev
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64 fonts-wine
    xvfb xdotool x11-utils imagemagick
    libgl1 libxrandr2 libxinerama1 libxcursor1 libxi6 libxcomposite1 libxrender1 libxext6
    libfreetype6 libfontconfig1
    fzf liblnk-utils libxml2-utils zip nsis
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
