# gtest_results: reads a GoogleTest program's standard output and prints one
# "ok - SUITE.TEST" or "FAIL - SUITE.TEST ..." line per test that started,
# the form run.sh counts. A test that started but never reported a result
# (the program crashed or hung in it), disabled tests, skipped tests, and a
# run without GoogleTest's closing summary are failures too.
#
#   gtest_results < program-output
# shellcheck shell=bash

gtest_results() {
  tr -d '\r' | awk '
    function name_of(line) {
      line = substr(line, 14)
      sub(/ \([0-9]+ ms\)$/, "", line)
      return line
    }
    /^\[ RUN      \] / { name = name_of($0); order[++count] = name; result[name] = "started"; next }
    /^\[       OK \] / { name = name_of($0); if (result[name] == "started") result[name] = "ok"; next }
    /^\[  FAILED  \] / { name = name_of($0); if (result[name] == "started") result[name] = "failed"; next }
    /^\[  SKIPPED \] / { name = name_of($0); if (result[name] == "started") result[name] = "skipped"; next }
    /^\[==========\] [0-9]+ tests? from [0-9]+ test suites? ran\./ { finished = 1; next }
    /YOU HAVE [0-9]+ DISABLED TESTS?/ { disabled = $3; next }
    END {
      for (i = 1; i <= count; ++i) {
        name = order[i]
        if (result[name] == "ok") print "ok - " name
        else if (result[name] == "failed") print "FAIL - " name
        else if (result[name] == "skipped") print "FAIL - " name " was skipped"
        else print "FAIL - " name " did not finish"
      }
      if (disabled > 0) print "FAIL - " disabled " disabled test(s) did not run"
      if (!finished) print "FAIL - the program did not run to the end of its tests"
    }'
}
