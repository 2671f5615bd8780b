#!/usr/bin/env bash
# standin_actions_test.sh STANDIN DLL BITS MAILBOX: the stand-in's ribbon actions in command-line
# order (--press, --press-label, --wait), its ribbon's refusal of calls from another thread and its
# service of calls marshalled to its thread, and its refusal of bad actions, with the test add-in
# (its modes: see test_addin.h).
set -uo pipefail
standin_exe=$1
dll=$2
bits=$3
mailbox=$4
source "$(dirname "$0")/standin_lib.sh"

dllw=$(winpath "$dll")
"$wine" "$(system_folder "$bits")/regsvr32.exe" /s "$dllw" || fail "regsvr32 returned $?"
mailboxw=$(winpath "$mailbox")
button() { echo "^button id=brvTest\.1 size=large label=\"$1\" screentip=\"Presses the test button\" enabled=$2 visible=true "; }

# Pressed by label and by id, with a wait between: each press reads the labels anew, so the
# second label is the one the first press gave.
run_standin -- --press-label "Press me" --wait 100 --press-label "Pressed 1" --press brvTest.1
[ "$status" = 0 ] || fail "presses: exit code $status"
in_order "$out" "$(button "Press me" true)" '^testaddin: click 1$' '^press brvTest\.1 hr=0x00000000$' \
  '^invalidated count=1$' "$(button "Pressed 1" true)" '^wait 100$' '^testaddin: click 2$' \
  '^press brvTest\.1 hr=0x00000000$' "$(button "Pressed 2" true)" '^testaddin: click 3$' \
  "$(button "Pressed 3" true)" '^OnBeginShutdown hr=0x00000000$' '^released refs=0$'
[ "$(count "$out" '^testaddin: click')" = 3 ] || fail "presses: not exactly three clicks"

# A label no button shows is no press; the run goes on to the end and fails.
run_standin -- --press-label "Pressed 1" --press brvTest.1
[ "$status" = 1 ] || fail "unknown label: exit code $status, expected 1"
in_order "$out" '^press-label "Pressed 1" no such button$' '^testaddin: click 1$' '^released refs=0$'
[ "$(count "$out" '^testaddin: click')" = 1 ] || fail "unknown label: a click too many"

# A worker asks the running Outlook through COM: only a waiting host thread serves those calls,
# and it carries out the refresh the worker has the host's thread ask for, during the wait.
worker() { run_standin SORTWISE_TEST_ADDIN=worker -- --mailbox "$mailboxw" --press brvTest.1 --wait 4000 "$@"; }
worker
[ "$status" = 0 ] || fail "worker: exit code $status"
in_order "$out" '^press brvTest\.1 hr=0x00000000$' "$(button "Pressed 1" true)" '^wait 4000$' \
  '^testaddin: worker: profile Outlook$' '^invalidated count=2$' "$(button "Profile Outlook" false)" \
  '^testaddin: Shutdown 1$' '^released refs=0$'
[ "$(count "$out" 'another thread')" = 0 ] || fail "worker: a call from another thread"

# What the ribbon shows disabled cannot be pressed.
worker --press-label "Profile Outlook"
[ "$status" = 1 ] || fail "disabled button: exit code $status, expected 1"
in_order "$out" "$(button "Profile Outlook" false)" '^press brvTest\.1 disabled$' '^released refs=0$'
[ "$(count "$out" '^testaddin: click')" = 1 ] || fail "disabled button: pressed all the same"

# A worker that calls the host's ribbon itself is refused, and the stand-in fails.
run_standin SORTWISE_TEST_ADDIN=direct -- --press brvTest.1 --wait 1000
[ "$status" = 1 ] || fail "direct: exit code $status, expected 1"
in_order "$out" '^press brvTest\.1 hr=0x00000000$' '^released refs=0$'
[ "$(count "$out" '^invalidate from another thread$')" = 1 ] || fail "direct: the call from another thread not reported once"
[ "$(count "$out" '^testaddin: worker: ribbon refresh from the worker failed hr=0x8001010E$')" = 1 ] ||
  fail "direct: the worker's call did not fail with RPC_E_WRONG_THREAD"

# Through an interface marshalled to it, a worker may ask the ribbon for a refresh: the call
# reaches the host's thread while it waits.
run_standin SORTWISE_TEST_ADDIN=marshal -- --press brvTest.1 --wait 2000
[ "$status" = 0 ] || fail "marshal: exit code $status"
in_order "$out" '^press brvTest\.1 hr=0x00000000$' '^wait 2000$' '^invalidated count=1$' "$(button "Pressed 1" true)" \
  '^testaddin: Shutdown 1$' '^released refs=0$'
[ "$(count "$out" '^testaddin: worker: ribbon refresh through the marshalled ribbon hr=0x00000000$')" = 1 ] ||
  fail "marshal: the worker's refresh did not succeed"
[ "$(count "$out" 'another thread')" = 0 ] || fail "marshal: a call from another thread"

# Closed as Outlook is while it waits: the wait ends at once, the press still to come is dropped,
# and the add-in is shut down as usual.
closing=$(mktemp)
trap 'kill_standin; rm -f "$closing"' EXIT
if serve_standin "$closing" --mailbox "$mailboxw" --wait 300000 --press brvTest.1; then
  for _ in $(seq 300); do
    grep -q '^wait 300000' "$closing" && break
    sleep 0.1
  done
  close_standin "$closing"
  [ "$status" = 0 ] || fail "closed: exit code $status"
  in_order "$out" '^serving process=' "$(button "Press me" true)" '^wait 300000$' '^close requested$' \
    '^testaddin: Shutdown 1$' '^OnBeginShutdown hr=0x00000000$' '^released refs=0$' '^guard prompts 0$'
  [ "$(count "$out" '^testaddin: click')" = 0 ] || fail "closed: the press after the wait was carried out"
fi

# An editor to drive that no press opens: said so, and a failure, but the run ends normally.
run_standin -- --press brvTest.1 --editor close
[ "$status" = 1 ] || fail "no editor: exit code $status, expected 1"
in_order "$out" '^testaddin: click 1$' '^editor not shown$' '^press brvTest\.1 hr=0x00000000$' '^released refs=0$'

# Actions the stand-in cannot carry out are refused before any add-in loads.
while IFS='|' read -r args message; do
  # shellcheck disable=SC2086
  run_standin -- $args
  [ "$status" = 2 ] || fail "'$args': exit code $status, expected 2"
  grep -qF -- "$message" <<<"$out" || fail "'$args': no message '$message'"
  [ "$(count "$out" '^load ')" = 0 ] || fail "'$args': an add-in was loaded"
done <<'CASES'
--wait soon|--wait takes milliseconds (0 to 86400000), not 'soon'
--wait -5|--wait takes milliseconds
--wait 86400001|--wait takes milliseconds
--editor run|--editor: the editor actions must end with close
--editor close,run|--editor: the editor actions must end with close
--editor run,,close|--editor: unknown editor action ''
--editor walk,close|--editor: unknown editor action 'walk'
--editor close --editor close|unknown, repeated or incomplete option '--editor'
--editor-shot shot.bmp|--editor-shot needs --editor
--press-label|unknown, repeated or incomplete option '--press-label'
CASES

"$wine" "$(system_folder "$bits")/regsvr32.exe" /s /u "$dllw" || fail "regsvr32 /u returned $?"
finish
