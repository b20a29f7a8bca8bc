# Sourced by the set-up scripts: under `set -e` a failing command would end
# the script without a word; this names the command, where it stood and its
# exit code first, in functions and subshells too.
set -E
trap 'tamsel_rc=$?; echo "${0##*/}: FAILED (exit $tamsel_rc) at ${BASH_SOURCE[0]##*/}:$LINENO: $BASH_COMMAND" >&2' ERR
