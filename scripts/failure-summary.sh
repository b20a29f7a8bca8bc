#!/usr/bin/env bash
# Prints, from ctest logs, what each failed suite says about its failures:
# every failed test with what it printed (cut to its last lines), a test that
# started and never ended (a crash or a hang), and the last lines of a suite
# that failed with no test failing (a crash on the way out). A suite's whole
# output can be long; this keeps what matters at the end of a run's output,
# where a shortened copy of it still shows it.
#   failure-summary.sh LOG...
for log in "$@"; do
    [ -f "$log" ] || continue
    grep -q -E '\*\*\*(Failed|Timeout|Exception)|Not Run' "$log" || continue
    echo "== failures in $(basename "$log") =="
    awk '
        function flush(from, to,   i) {
            if (to - from >= 40) { print "  [... " to - from - 39 " lines ...]"; from = to - 39 }
            for (i = from; i <= to; i++) print "  " buf[i]
        }
        # The end of a failed suite: the test it was inside, or its last
        # lines when no test failed.
        function close_suite() {
            if (!insuite) return
            if (run) { print "  (ended inside this test)"; flush(run, n) }
            else if (!failed) { print "  (no test failed; its last lines)"; flush(n > 15 ? n - 14 : 1, n) }
            insuite = 0
        }
        /^ *[0-9]+\/[0-9]+ Test +#[0-9]+: / || /^ +Start +[0-9]+: / || /^The following tests FAILED/ || /tests passed, / {
            close_suite()
            if ($0 ~ /\*\*\*(Failed|Timeout|Exception)|Not Run/) { print; insuite = 1; n = 0; run = 0; failed = 0 }
            next
        }
        !insuite { next }
        { buf[++n] = $0 }
        /^\[ RUN      \]/ { run = n }
        /^\[       OK \]/ { run = 0 }
        /^\[  FAILED  \] [^ ]+\.[^ ]+ \(/ { if (run) flush(run, n); run = 0; failed = 1 }
        END { close_suite() }
    ' "$log"
done
