#!/usr/bin/env bash
# Installs what building and testing Tamsel needs on Debian 12, when missing,
# including Wine's 32-bit side (wine32:i386), which runs the 32-bit product as
# 64-bit Windows does. Fails loudly when wine32 cannot be installed.
set -euo pipefail
packages=(cmake make mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
          libz-mingw-w64-dev wine64 xvfb xauth imagemagick googletest zip unzip python3
          coreutils findutils e2fsprogs)
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
has_wine32() { dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; }
[ ${#missing[@]} -eq 0 ] && has_wine32 && exit 0

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
# One suite's index may fail (a mirror in sync); the install below says
# whether what we need was found.
"${sudo_cmd[@]}" apt-get update -q || echo "install-deps: apt-get update reported errors; going on with the indexes it has"
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
has_wine32 && exit 0

echo "Installing: wine32:i386"
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends wine32:i386 && exit 0

# The i386 index of the security suite can lag the amd64 one: an amd64
# library installed from it then has no i386 twin of its version. Take
# wine32 from the release suite, pinning each library apt names (both
# architectures) to its release version, until the install resolves.
pins=()
for _ in 1 2 3 4 5 6 7 8 9 10; do
    if out=$(apt-get install -s -t bookworm --allow-downgrades wine32:i386 "${pins[@]}" 2>&1); then
        echo "Installing wine32:i386 from bookworm with: ${pins[*]}"
        "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends -t bookworm --allow-downgrades \
            wine32:i386 "${pins[@]}"
        has_wine32 && exit 0
        break
    fi
    added=0
    for p in $(printf '%s\n' "$out" | grep -oE '[a-z0-9][a-z0-9.+-]*:i386' | sed 's/:i386$//' | sort -u); do
        v=$(apt-cache madison "$p" 2>/dev/null |
            awk -F'|' '$3 ~ / bookworm\/main/ {gsub(/ /, "", $2); print $2; exit}')
        [ -n "$v" ] || continue
        case " ${pins[*]-} " in *" $p:i386=$v "*) continue ;; esac
        pins+=("$p:i386=$v")
        dpkg-query -W "$p:amd64" >/dev/null 2>&1 && pins+=("$p:amd64=$v")
        added=1
    done
    [ $added -eq 1 ] || { printf '%s\n' "$out" | tail -n 20; break; }
done
echo "install-deps: FAILED to install wine32:i386; the 32-bit product cannot run here" >&2
exit 1
