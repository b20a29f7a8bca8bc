#!/usr/bin/env bash
# Reads apt's sources in every layout apt reads (sources.list, one-line
# sources.list.d/*.list, deb822 sources.list.d/*.sources, any mix) and answers:
#   debian-archive.sh uri            the URI of the Debian archive that serves
#                                    bookworm (bookworm-updates where no plain
#                                    bookworm line is there); fails naming the
#                                    files it read when none does
#   debian-archive.sh has-backports  exit 0 when a source names bookworm-backports
# TAMSEL_APT_DIR stands in for /etc/apt (the tests point it at a scratch folder).
set -euo pipefail
apt_dir="${TAMSEL_APT_DIR:-/etc/apt}"
what="${1:-}"
case "$what" in
    uri|has-backports) ;;
    *) echo "usage: debian-archive.sh uri|has-backports" >&2; exit 2 ;;
esac

shopt -s nullglob
files=()
[ -e "$apt_dir/sources.list" ] && files+=("$apt_dir/sources.list")
files+=("$apt_dir"/sources.list.d/*.list "$apt_dir"/sources.list.d/*.sources)
for f in ${files[@]+"${files[@]}"}; do
    [ -r "$f" ] || { echo "debian-archive.sh: cannot read $f" >&2; exit 1; }
done

found=""
if [ ${#files[@]} -gt 0 ]; then
    # Prints "main URI", "updates URI" and "backports URI" lines for every
    # enabled binary ("deb") source of those suites, in the order read.
    found=$(awk '
        function suite(s, u) {
            if (u == "") return
            if (s == "bookworm") print "main " u
            else if (s == "bookworm-updates") print "updates " u
            else if (s == "bookworm-backports") print "backports " u
        }
        function flush(   n, i, s, u) {
            if (types ~ /(^|[ \t])deb([ \t]|$)/ && enabled !~ /^[ \t]*(no|false|0)[ \t]*$/) {
                split(uris, u, " ")
                n = split(suites, s, " ")
                for (i = 1; i <= n; i++) suite(s[i], u[1])
            }
            types = ""; suites = ""; uris = ""; enabled = ""; field = ""
        }
        FNR == 1 { if (deb822) flush(); deb822 = (FILENAME ~ /\.sources$/) }
        { sub(/\r$/, "") }
        deb822 {
            if ($0 ~ /^#/) next
            if ($0 ~ /^[ \t]*$/) { flush(); next }
            if ($0 ~ /^[ \t]/) {
                # A folded field goes on.
                if (field == "types") types = types " " $0
                else if (field == "suites") suites = suites " " $0
                else if (field == "uris") uris = uris " " $0
                next
            }
            colon = index($0, ":")
            if (colon == 0) next
            field = tolower(substr($0, 1, colon - 1))
            value = substr($0, colon + 1)
            if (field == "types") types = value
            else if (field == "suites") suites = value
            else if (field == "uris") uris = value
            else if (field == "enabled") enabled = tolower(value)
            next
        }
        {
            line = $0
            sub(/#.*/, "", line)
            gsub(/\[[^]]*\]/, " ", line)
            n = split(line, f, " ")
            if (n >= 3 && f[1] == "deb") suite(f[3], f[2])
        }
        END { if (deb822) flush() }
    ' "${files[@]}")
fi

if [ "$what" = has-backports ]; then
    grep -q '^backports ' <<<"$found" && exit 0
    exit 1
fi
uri=$(awk '$1 == "main" {print $2; exit}' <<<"$found")
[ -n "$uri" ] || uri=$(awk '$1 == "updates" {print $2; exit}' <<<"$found")
if [ -z "$uri" ]; then
    if [ ${#files[@]} -eq 0 ]; then
        read_list="none: there is no $apt_dir/sources.list and no .list or .sources file in $apt_dir/sources.list.d"
    else
        read_list="${files[*]}"
    fi
    echo "debian-archive.sh: no enabled Debian bookworm source (a 'deb' line or stanza for suite bookworm or bookworm-updates) in apt's sources; files read: $read_list" >&2
    exit 1
fi
printf '%s\n' "$uri"
