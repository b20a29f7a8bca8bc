#!/usr/bin/env bash
# Installs what building and testing Tamsel needs on Debian 12, when missing.
set -euo pipefail
packages=(cmake make mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
          libz-mingw-w64-dev wine64 xvfb xauth imagemagick googletest zip unzip python3
          coreutils findutils e2fsprogs)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
"${sudo_cmd[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
