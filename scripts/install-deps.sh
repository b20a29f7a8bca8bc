#!/usr/bin/env bash
# Installs what building and testing Tamsel needs on Debian 12, when missing,
# including Wine's 32-bit side (wine32:i386), which runs the 32-bit product as
# 64-bit Windows does, and, where the kernel runs no 32-bit code (or with
# TAMSEL_I686_EMULATE=1), qemu-user 10 from bookworm-backports, which runs it
# through scripts/i686-emulated.sh. Fails loudly when neither way works.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
. "$root/scripts/fail-loudly.sh"
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

install_wine32() {
[ ${#missing[@]} -eq 0 ] && has_wine32 && return 0

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
has_wine32 && return 0

echo "Installing: wine32:i386"
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends wine32:i386 && return 0

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
        has_wine32 && return 0
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
}

# qemu-user 10 or later: Debian 12's own 7.2 kills a 32-bit program that
# starts a thread. Its binaries are static, so nothing of i386 is needed.
qemu_ok() {
    local v
    v=$(/usr/bin/qemu-i386 --version 2>/dev/null | sed -n 's/.*version \([0-9]*\)\..*/\1/p' | head -n1)
    [ -n "$v" ] && [ "$v" -ge 10 ]
}

# Adds bookworm-backports from the Debian archive the apt sources already
# name (scripts/debian-archive.sh reads every layout apt reads), once.
# grep -c reads to the end: apt-cache is never cut off by a closed pipe.
apt_knows_backports() { apt-cache policy 2>/dev/null | grep -c 'bookworm-backports' >/dev/null; }
add_backports() {
    local uri
    if ! "$root/scripts/debian-archive.sh" has-backports; then
        uri=$("$root/scripts/debian-archive.sh" uri) ||
            { echo "install-deps: FAILED: no Debian bookworm source in apt's sources to add bookworm-backports to" >&2; exit 1; }
        echo "Adding bookworm-backports from $uri"
        printf 'Types: deb\nURIs: %s\nSuites: bookworm-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
            "$uri" | "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/tamsel-backports.sources >/dev/null
    fi
    if ! apt_knows_backports; then
        "${sudo_cmd[@]}" apt-get update -q || echo "install-deps: apt-get update reported errors; going on with the indexes it has"
    fi
    apt_knows_backports ||
        { echo "install-deps: FAILED: apt has no index of bookworm-backports after apt-get update (see its errors above)" >&2; exit 1; }
}

install_wine32
if /usr/lib/wine/wine --version >/dev/null 2>&1 && [ "${TAMSEL_I686_EMULATE:-0}" != 1 ]; then
    exit 0
fi
if ! qemu_ok; then
    echo "This machine's kernel runs no 32-bit code (or TAMSEL_I686_EMULATE=1): installing qemu-user 10 to run the 32-bit product"
    add_backports
    "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends -t bookworm-backports qemu-user
fi
qemu_ok || { echo "install-deps: FAILED to install qemu-user 10 or later; the 32-bit product cannot run here" >&2; exit 1; }
if ! out=$("$root/scripts/i686-emulated.sh" /usr/lib/wine/wine --version 2>&1); then
    echo "install-deps: FAILED to run 32-bit Wine under qemu-i386 in a private namespace: $out" >&2
    exit 1
fi
