#!/usr/bin/env bash
# Prints, from ctest logs, what each failed suite says about its failures:
# every failed test with what it printed (cut to its last lines), and a test
# that started and never ended (a crash or a hang). A suite's whole output can
# be long; this keeps what matters at the end of a run's output, where a
# shortened copy of it still shows it.
#   failure-summary.sh LOG...
for log in "$@"; do
    [ -f "$log" ] || continue
    grep -q -E '\*\*\*(Failed|Timeout|Exception)|Not Run' "$log" || continue
    echo "== failures in $(basename "$log") =="
    grep -E '\*\*\*(Failed|Timeout|Exception)|Not Run' "$log"
    awk '
        function flush(   i, from) {
            from = n > 40 ? n - 40 : 1
            if (from > 1) print "  [... " from - 1 " lines ...]"
            for (i = from; i <= n; i++) print "  " buf[i]
        }
        /^\[ RUN      \]/ { open = 1; n = 0; name = $0 }
        open { buf[++n] = $0 }
        /^\[       OK \]/ { open = 0 }
        /^\[  FAILED  \] [^ ]+\.[^ ]+ \(/ { if (open) flush(); open = 0 }
        # A suite that ended inside a test: that test crashed or hung.
        /^ *[0-9]+\/[0-9]+ Test +#[0-9]+: / { if (open) { print "  (ended inside this test)"; flush() } open = 0 }
        END { if (open) { print "  (ended inside this test)"; flush() } }
    ' "$log"
done
