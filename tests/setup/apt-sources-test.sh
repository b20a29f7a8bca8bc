#!/usr/bin/env bash
# The Debian archive as scripts/debian-archive.sh reads it from every layout
# apt reads, over scratch folders standing in for /etc/apt; and a failing
# set-up step that names itself (scripts/fail-loudly.sh).
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
finder="$root/scripts/debian-archive.sh"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
passed=0 failed=0

check() { # name expected actual
    if [ "$2" = "$3" ]; then passed=$((passed + 1))
    else failed=$((failed + 1)); printf 'FAILED: %s\n  expected: %s\n  actual:   %s\n' "$1" "$2" "$3"; fi
}
# A fresh stand-in for /etc/apt; files given as NAME CONTENT pairs.
layout() {
    apt="$scratch/$1"; shift
    mkdir -p "$apt/sources.list.d"
    while [ $# -gt 0 ]; do printf '%b' "$2" > "$apt/$1"; shift 2; done
}
uri_of() { TAMSEL_APT_DIR="$apt" "$finder" uri 2>&1; echo "rc=$?"; }
backports_of() { TAMSEL_APT_DIR="$apt" "$finder" has-backports >/dev/null 2>&1 && echo yes || echo no; }

archive=http://deb.debian.org/debian
security='deb http://deb.debian.org/debian-security bookworm-security main\n'

layout one-line sources.list "# the archive\n${security}deb $archive bookworm main contrib\ndeb-src $archive bookworm main\n"
check "sources.list, one-line" "$(printf '%s\nrc=0' $archive)" "$(uri_of)"
check "sources.list without backports" no "$(backports_of)"

layout list-files sources.list.d/security.list "$security" \
    sources.list.d/debian.list "deb [arch=amd64,i386 signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://ftp.example.org/debian/ bookworm main # mirror\n"
check "one-line .list with options and a comment" "$(printf '%s\nrc=0' http://ftp.example.org/debian/)" "$(uri_of)"

layout list-spaced-options sources.list.d/debian.list "deb [ arch=amd64 ] http://mirror.example.net/debian bookworm main\n"
check "one-line .list with spaced options" "$(printf '%s\nrc=0' http://mirror.example.net/debian)" "$(uri_of)"

deb822='Types: deb
# http://snapshot.debian.org/archive/debian/20250520T000000Z
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
# http://snapshot.debian.org/archive/debian-security/20250520T000000Z
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
'
layout deb822-only sources.list.d/debian.sources "$deb822"
check "deb822 only, as Debian 12's images come" "$(printf '%s\nrc=0' $archive)" "$(uri_of)"
check "deb822 without backports" no "$(backports_of)"

layout deb822-order sources.list.d/debian.sources "Types: deb\nURIs: http://deb.debian.org/debian-security\nSuites: bookworm-security\n\n\n# the archive, second\nsuites: bookworm-updates   bookworm\ntypes: deb-src deb\nuris: http://archive.example.com/debian\ncomponents: main\n"
check "deb822, second stanza, fields in any order and case" "$(printf '%s\nrc=0' http://archive.example.com/debian)" "$(uri_of)"

layout deb822-folded sources.list.d/debian.sources "Types: deb\nURIs:\n http://folded.example.com/debian\nSuites: bookworm-security\n bookworm\nComponents: main\n"
check "deb822, folded fields" "$(printf '%s\nrc=0' http://folded.example.com/debian)" "$(uri_of)"

layout deb822-crlf sources.list.d/debian.sources "Types: deb\r\nURIs: http://crlf.example.com/debian\r\nSuites: bookworm\r\n"
check "deb822 with CR LF" "$(printf '%s\nrc=0' http://crlf.example.com/debian)" "$(uri_of)"

layout deb822-disabled sources.list.d/old.sources "Types: deb\nURIs: http://old.example.com/debian\nSuites: bookworm\nEnabled: no\n" \
    sources.list.d/debian.sources "Types: deb-src\nURIs: http://src.example.com/debian\nSuites: bookworm\n\nTypes: deb\nURIs: http://deb.debian.org/debian\nSuites: bookworm\n"
check "deb822: a disabled and a source-only stanza are passed over" "$(printf '%s\nrc=0' $archive)" "$(uri_of)"

layout mixed sources.list "# nothing here but comments\n" \
    sources.list.d/security.list "$security" \
    sources.list.d/debian.sources "Types: deb\nURIs: http://deb.debian.org/debian\nSuites: bookworm\n" \
    sources.list.d/tamsel-backports.sources "Types: deb\nURIs: http://deb.debian.org/debian\nSuites: bookworm-backports\nComponents: main\n"
check "a mix of all three layouts" "$(printf '%s\nrc=0' $archive)" "$(uri_of)"
check "backports written by install-deps are known, so not added again" yes "$(backports_of)"

layout one-line-backports sources.list "deb $archive bookworm main\ndeb $archive bookworm-backports main\n"
check "one-line backports are known" yes "$(backports_of)"

layout commented-backports sources.list "deb $archive bookworm main\n# deb $archive bookworm-backports main\n" \
    sources.list.d/bp.sources "Types: deb\nURIs: $archive\nSuites: bookworm-backports\nEnabled: no\n"
check "commented-out or disabled backports are not known" no "$(backports_of)"

layout updates-only sources.list.d/debian.list "deb http://updates.example.org/debian bookworm-updates main\n"
check "bookworm-updates alone names the archive" "$(printf '%s\nrc=0' http://updates.example.org/debian)" "$(uri_of)"

# No bookworm source: a clear failure naming what was read.
layout security-only sources.list.d/security.list "$security"
out=$(uri_of)
check "only the security archive: fails" rc=1 "${out##*$'\n'}"
check "the failure says no bookworm source and names the file read" 1 \
    "$(grep -c "no enabled Debian bookworm source.*files read: .*security-only/sources.list.d/security.list" <<<"$out")"

layout other-release sources.list "deb http://deb.debian.org/debian trixie main\n"
out=$(uri_of)
check "another release only: fails" rc=1 "${out##*$'\n'}"

layout empty
out=$(uri_of)
check "no sources at all: fails" rc=1 "${out##*$'\n'}"
check "no sources at all: says none was there" 1 "$(grep -c "files read: none" <<<"$out")"

# A set-up step that fails names itself before the script ends.
cat > "$scratch/failing.sh" <<SCRIPT
set -euo pipefail
. "$root/scripts/fail-loudly.sh"
step() { local v; v=\$(cat "$scratch/no-such-file" | awk '{print}'); echo "not reached"; }
step
SCRIPT
out=$(bash "$scratch/failing.sh" 2>&1); rc=$?
check "a failing step ends the script" 1 "$rc"
check "and names the command and its line" 1 "$(grep -c 'failing.sh: FAILED (exit 1) at failing.sh:3: v=$(cat' <<<"$out")"
check "nothing after it runs" 0 "$(grep -c 'not reached' <<<"$out")"

echo "setup: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
