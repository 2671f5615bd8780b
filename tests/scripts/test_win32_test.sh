#!/usr/bin/env bash
# test_win32_test.sh: the win32 step of `make test` on both kinds of machine. A recording ctest
# stands in for the real one, so each case shows which tests the step would have run.
set -uo pipefail
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat >"$work/ctest" <<'REC'
#!/usr/bin/env bash
echo "ctest $*" >>"$RECORD"
REC
chmod +x "$work/ctest"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# case NAME PROBE REQUIRE EXIT CTEST-CALLS OUTPUT-PATTERN
check() {
  local name=$1 probe=$2 require=$3 want_exit=$4 want_calls=$5 pattern=$6 out status calls
  : >"$work/record"
  out=$(SORTWISE_WIN32_PROBE=$probe SORTWISE_REQUIRE_WIN32=$require RECORD=$work/record \
        SORTWISE_CTEST=$work/ctest "$scripts/test-win32" 2>&1)
  status=$?
  calls=$(paste -sd';' "$work/record")
  [ "$status" = "$want_exit" ] || fail "$name: exit $status, expected $want_exit ($out)"
  [ "$calls" = "$want_calls" ] || fail "$name: ran '$calls', expected '$want_calls'"
  grep -Eq -- "$pattern" <<<"$out" || fail "$name: output '$out' does not match '$pattern'"
}

check "can run" yes 0 0 "ctest --preset win32" '^$'
check "can run, required" yes 1 0 "ctest --preset win32" '^$'
check "cannot run: PE checks only, one plain line" no 0 0 "ctest --preset win32 -L pe" \
  '^win32: built and checked; tests NOT RUN: this machine cannot execute 32-bit programs$'
check "cannot run, required: fails before any test" no 1 1 "" \
  'SORTWISE_REQUIRE_WIN32=1 requires the win32 tests, but this machine cannot execute 32-bit programs'
check "a forced answer that is neither" maybe 0 2 "" 'must be yes or no'

# The probe's own answer agrees with whether the 32-bit loader executes here.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then here=yes; else here=no; fi
[ "$(SORTWISE_WIN32_PROBE= "$scripts/win32-probe")" = "$here" ] || fail "the probe does not say '$here'"

if [ $failures = 0 ]; then echo PASS; else exit 1; fi
