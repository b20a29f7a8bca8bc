#!/usr/bin/env bash
# Runs a command with 32-bit programs run by qemu-user's static qemu-i386,
# registered for i386 ELF files only inside a private user and mount namespace
# with its own binfmt_misc: the rest of the machine sees no change. Used where
# the kernel runs no 32-bit code, or with TAMSEL_I686_EMULATE=1 to try the
# emulated way on a machine that does (the private entry is tried before the
# kernel's own loader). Needs Linux 6.7 or later.
#   i686-emulated.sh CMD [ARGS...]
set -euo pipefail
qemu="${TAMSEL_QEMU_I386:-/usr/bin/qemu-i386}"

if [ "${1:-}" = "--inside" ]; then
    shift
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
    # i386 executables and shared objects; 'F' opens qemu-i386 now, so the
    # entry works wherever the namespace's programs look for it.
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    echo ":tamsel-i386:M::$magic:$mask:$qemu:F" > /proc/sys/fs/binfmt_misc/register
    exec "$@"
fi

[ -x "$qemu" ] || { echo "i686-emulated.sh: $qemu is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
exec unshare --user --map-root-user --mount --fork "$0" --inside "$@"
