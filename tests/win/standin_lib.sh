# Sourced by the stand-in's test scripts: Wine, failure counting and reading the stand-in's lines.
: "${WINEPREFIX:?}"
wine=$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-run
failures=0

winpath() { "$wine" winepath.exe -w "$1" | tr -d '\r'; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# The system folder of the programs of a bitness (32 or 64).
system_folder() { echo "$WINEPREFIX/drive_c/windows/$([ "$1" = 32 ] && echo syswow64 || echo system32)"; }

# in_order OUTPUT PATTERN...: every pattern matches a line, each after the previous one's line.
in_order() {
  local output=$1 line=0 found
  shift
  for pattern in "$@"; do
    found=$(tail -n +$((line + 1)) <<<"$output" | grep -n -m1 -E -- "$pattern" | cut -d: -f1)
    if [ -z "$found" ]; then
      fail "no line matching '$pattern' after line $line"
      return
    fi
    line=$((line + found))
  done
}
count() { grep -c -E -- "$2" <<<"$1"; }

# run_standin [VAR=VALUE...] -- ARGS...: runs the stand-in $standin_exe with ARGS (and those
# environment variables), echoing its output for the log; sets $out to the output and $status to
# its exit code.
run_standin() {
  local env=() log
  while [ "$1" != -- ]; do env+=("$1"); shift; done
  shift
  echo "=== ${env[*]} outlook-standin $*"
  log=$(mktemp)
  env "${env[@]}" "$wine" "$standin_exe" "$@" >"$log" 2>&1
  status=$?
  out=$(tr -d '\r' <"$log")
  rm -f "$log"
  echo "$out"
  echo "=== exit code $status"
}

finish() { [ "$failures" = 0 ] && echo "PASS" || exit 1; }
