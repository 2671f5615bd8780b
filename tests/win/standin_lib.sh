# Sourced by the stand-in's and the installer's test scripts: Wine, failure counting, reading the
# stand-in's lines, and a running Outlook.
: "${WINEPREFIX:?}"
wine=$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-run
failures=0

# A Unix path as the prefix's programs name it: drive Z: is the root of the Unix file system, as
# in every Wine prefix. (Worked out here: a winepath.exe started under load has been seen to
# print nothing.)
winpath() {
  local absolute
  absolute=$(realpath -m "$1")
  echo "Z:${absolute//\//\\}"
}
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

# serve_standin OUTPUT ARGS...: starts the stand-in $standin_exe with --mailbox among ARGS in the
# background, its output going to the file OUTPUT, and waits (60 s at most) until it says that it
# serves other processes. Sets $standin_pid (here) and $standin_winpid (its Windows process id);
# fails when it does not say so.
standin_pid=""
standin_winpid=""
serve_standin() {
  local output=$1
  shift
  echo "=== outlook-standin $* (in the background)"
  : >"$output"
  "$wine" "$standin_exe" "$@" >"$output" 2>&1 &
  standin_pid=$!
  for _ in $(seq 600); do
    grep -q '^serving process=' "$output" && break
    kill -0 "$standin_pid" 2>/dev/null || break
    sleep 0.1
  done
  standin_winpid=$(sed -n 's/^serving process=\([0-9]*\)\r\?$/\1/p' "$output")
  [ -n "$standin_winpid" ] && return 0
  tr -d '\r' <"$output"
  fail "the stand-in did not say that it serves"
  return 1
}

# close_standin OUTPUT: closes the stand-in of serve_standin as Outlook is closed (taskkill without
# /f) and waits (30 s at most) until it has ended; sets $out to its output and $status to its exit
# code. A stand-in that does not end is killed.
close_standin() {
  echo "=== taskkill /pid $standin_winpid"
  "$wine" taskkill.exe /pid "$standin_winpid" || fail "taskkill returned $?"
  for _ in $(seq 300); do
    kill -0 "$standin_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$standin_pid" 2>/dev/null; then
    fail "the stand-in did not end within 30 s of being closed"
    kill "$standin_pid" 2>/dev/null
  fi
  wait "$standin_pid"
  status=$?
  standin_pid=""
  out=$(tr -d '\r' <"$1")
  echo "=== outlook-standin"
  echo "$out"
  echo "=== exit code $status"
}

# kill_standin: ends the stand-in of serve_standin if it still runs (a test that failed half-way).
kill_standin() {
  [ -n "$standin_pid" ] && kill -0 "$standin_pid" 2>/dev/null || return 0
  echo "=== the stand-in still runs: killed"
  kill "$standin_pid" 2>/dev/null
  wait "$standin_pid" 2>/dev/null
  standin_pid=""
}

# start_idle PATH: a windowless program runs from PATH (a copy of ping.exe, pinging for ten
# minutes), as a program of that name would be seen by Windows; sets idle_pid. stop_idle PID
# ends it.
start_idle() {
  cp "$(system_folder 64)/ping.exe" "$1"
  "$wine" "$1" -n 600 127.0.0.1 >/dev/null 2>&1 &
  idle_pid=$!
  local name
  name=$(basename "$1" | sed 's/\./\\./g')
  for _ in $(seq 50); do
    pgrep -f "$name" >/dev/null && break
    sleep 0.2
  done
  # Until Wine's server lists it, the process is not among Windows' processes.
  sleep 1
}
stop_idle() {
  [ -n "$1" ] || return 0
  kill "$1" 2>/dev/null
  wait "$1" 2>/dev/null
}

# start_outlook DIR: a program named OUTLOOK.EXE runs, as Outlook would be seen by its process
# name. stop_outlook ends it.
outlook_pid=""
start_outlook() {
  start_idle "$1/OUTLOOK.EXE"
  outlook_pid=$idle_pid
}
stop_outlook() {
  stop_idle "$outlook_pid"
  outlook_pid=""
}

finish() { [ "$failures" = 0 ] && echo "PASS" || exit 1; }
