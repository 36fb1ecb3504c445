# Sourced by scripts/test.sh and .ci/run.
# ctest_counts LOG: prints "FAILED TOTAL SKIPPED" from a ctest log; fails when the log has no summary.
ctest_counts() {
  local line
  line=$(sed -n 's/.* tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\).*/\1 \2/p' "$1" 2>/dev/null | tail -1)
  [ -n "$line" ] || return 1
  echo "$line $(grep -c '^[[:space:]]*[0-9]* - .* (Skipped)$' "$1" || true)"
}
