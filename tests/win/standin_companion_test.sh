#!/usr/bin/env bash
# standin_companion_test.sh STANDIN SORTWISE MAILBOX RULES GONE_RULES: the Outlook stand-in serves
# MAILBOX in one process (no add-ins), and the sortwise tool works on it with --outlook from other
# processes of the same prefix, as an untrusted program: check with the profile's rules file
# (RULES) and with GONE_RULES, whose folder "Hermes" the mailbox does not have; two dry runs; a
# logged run; its undo, twice. Closed as Outlook is, the stand-in saves a mailbox with every mail
# back in its folder. Then a logged run and its undo, each against a stand-in that refuses other
# processes' calls for a while (a busy Outlook), which the tool waits for.
set -uo pipefail
standin_exe=$1
sortwise_exe=$2
mailbox=$3
rules=$4
gone_rules=$5
source "$(dirname "$0")/standin_lib.sh"

work=$(mktemp -d)
appdata=$("$wine" cmd.exe /c 'echo %AppData%' | tr -d '\r')
rules_folder=$("$wine" winepath.exe -u "$appdata\\Brevanta\\Sortwise" | tr -d '\r')
profile_rules="$rules_folder/Outlook.xml"
[ -e "$profile_rules" ] && cp -p "$profile_rules" "$work/profile-rules.before"
cleanup() {
  kill_standin
  rm -f "$profile_rules" "$rules_folder/Team 100%.xml"
  [ -e "$work/profile-rules.before" ] && cp -p "$work/profile-rules.before" "$profile_rules"
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$rules_folder"
cp "$rules" "$profile_rules"
logw=$(winpath "$work/moves.jsonl")

# The stand-in waits (five minutes at most) until it is closed.
serve_standin "$work/standin.out" --mailbox "$(winpath "$mailbox")" --save "$(winpath "$work/saved.xml")" \
  --wait 300000 || exit 1

# run_sortwise EXPECTED-EXIT-CODE ARGS...: the tool in a process of its own, two minutes at most;
# sets $out.
run_sortwise() {
  local expected=$1
  shift
  echo "=== sortwise $*"
  out=$(timeout 120 "$wine" "$sortwise_exe" "$@" 2>&1 | tr -d '\r')
  local status=${PIPESTATUS[0]}
  echo "$out"
  echo "=== exit code $status"
  [ "$status" = "$expected" ] || fail "sortwise $1: exit code $status, expected $expected"
}
moves_of() { grep -E "^$1 [0-9]+: " <<<"$out" | sed -E "s/^$1 //"; }

# Without --config, the rules of Outlook's current profile, "Outlook".
run_sortwise 0 check --outlook
grep -qxF "rules file: $appdata\\Brevanta\\Sortwise\\Outlook.xml" <<<"$out" || fail "check: not the profile's rules file"
in_order "$out" '^no problems found$'
# A profile whose rules an earlier version kept under the profile's own name ("%" is written
# "%25" today): found there.
cp "$rules" "$rules_folder/Team 100%.xml"
run_sortwise 0 check --outlook --profile "Team 100%"
grep -qxF "rules file: $appdata\\Brevanta\\Sortwise\\Team 100%.xml" <<<"$out" || fail "check --profile: not the earlier file"
# A registered folder that Outlook does not have is reported; the one it has is not.
run_sortwise 1 check --outlook --config "$(winpath "$gone_rules")"
# With Outlook's reason, which crosses processes in the call's exception information.
[ "$(count "$out" '^folder "Hermes" of store .* is not in Outlook any more \("The attempted operation failed\. An object could not be found')" = 1 ] ||
  fail "check: Hermes not reported once, with Outlook's reason"
[ "$(count "$out" 'Apollo')" = 0 ] || fail "check: Apollo reported"

# The sample inbox holds items the run cannot handle (a meeting request, a report, ...): exit
# code 1. A dry run moves nothing: the second one would move the same.
run_sortwise 1 run --outlook --dry-run
moves_of "would move" >"$work/dry-1"
run_sortwise 1 run --outlook --dry-run
moves_of "would move" >"$work/dry-2"
[ "$(wc -l <"$work/dry-1")" = 11 ] || fail "dry run: $(wc -l <"$work/dry-1") mails would move, expected 11"
cmp -s "$work/dry-1" "$work/dry-2" || fail "the second dry run would move other mail: the first moved some"

run_sortwise 1 run --outlook --log "$logw"
moves_of moved >"$work/moved"
diff -u "$work/dry-1" "$work/moved" || fail "the run moved other mail than the dry run said"
# Each move line carries the EntryID Move answered, a new one in the substitute store: the undo's
# dry run finds each mail by it, in the folder the run put it.
python3 - "$work/moves.jsonl" "$mailbox" <<'PY' || fail "the log's move lines"
import json, sys
import xml.etree.ElementTree as ET
lines = [json.loads(line) for line in open(sys.argv[1], encoding="utf-8")]
runs = [l for l in lines if l["type"] == "run"]
moves = [l for l in lines if l["type"] == "move"]
old = {e.get("id") for e in ET.parse(sys.argv[2]).iter() if e.get("id")}
ids = [m["entry_id"] for m in moves]
problems = []
if len(runs) != 1 or runs[0]["source"] != "outlook" or runs[0]["profile"] != "Outlook" or runs[0]["dry_run"]:
    problems.append(f"not one run of Outlook's profile Outlook: {runs}")
if len(moves) != 11:
    problems.append(f"{len(moves)} move lines, expected 11")
if "" in ids or len(set(ids)) != len(ids) or set(ids) & old:
    problems.append(f"EntryIDs not new and distinct: {ids}")
for problem in problems:
    print(problem)
sys.exit(1 if problems else 0)
PY
run_sortwise 0 undo --outlook --log "$logw" --dry-run
[ "$(count "$out" '^would move back .* -> ')" = 11 ] || fail "undo --dry-run: not every logged mail found where the run put it"
in_order "$out" '^would move back 11, left alone 0, failed 0$'

run_sortwise 0 undo --outlook --log "$logw"
[ "$(count "$out" '^moved back .* -> \\\\anna\.berg@brevanta\.example\\Inbox$')" = 11 ] || fail "undo: not 11 mails moved back to the inbox"
in_order "$out" '^moved back 11, left alone 0, failed 0$'
run_sortwise 0 undo --outlook --log "$logw"
in_order "$out" '^the newest run in the log, of .*, is already undone$'

# Closed as Outlook is closed: the wait ends, the mailbox is saved, the last lines are printed.
close_standin "$work/standin.out"
[ "$status" = 0 ] || fail "stand-in: exit code $status"
in_order "$out" '^serving process=' '^no add-ins to load$' '^wait 300000$' '^guard prompt MailItem\.SenderEmailAddress$' \
  '^close requested$' '^guard prompts [1-9][0-9]*$'
[ "$(count "$out" 'another thread')" = 0 ] || fail "stand-in: a call from another thread"

# Every mail is back in its folder. Each folder's items, by kind, subject and time received.
python3 - "$mailbox" "$work/saved.xml" <<'PY' || fail "the saved mailbox differs from the one the stand-in loaded"
import sys
import xml.etree.ElementTree as ET

def folders(file):
    result = {}
    def walk(element, path):
        items = result.setdefault(path, [])
        for child in element:
            if child.tag == "folder":
                walk(child, path + "\\" + child.get("name"))
            elif child.get("subject") is not None:
                items.append((child.tag, child.get("subject"), child.get("received")))
        items.sort()
    for store in ET.parse(file).getroot():
        walk(store, "\\\\" + store.get("name"))
    return result

before, after = folders(sys.argv[1]), folders(sys.argv[2])
for path in sorted(set(before) | set(after)):
    if before.get(path) != after.get(path):
        print(f"{path}: loaded {before.get(path)}, saved {after.get(path)}")
sys.exit(0 if before == after else 1)
PY

# A busy Outlook: for 10 s its main thread's message filter refuses the calls of other processes
# (SERVERCALL_REJECTED, which reaches the tool as RPC_E_CALL_REJECTED). The tool waits for it: a
# logged run against one busy stand-in, and its undo against another, each do every move.
busy_log=$(winpath "$work/busy-moves.jsonl")
serve_standin "$work/busy.out" --mailbox "$(winpath "$mailbox")" --save "$(winpath "$work/busy-run.xml")" \
  --busy-after 0 --busy-for 10000 --wait 300000 || exit 1
run_sortwise 1 run --outlook --log "$busy_log"
[ "$(count "$out" '^moved ')" = 11 ] || fail "busy run: not 11 mails moved"
close_standin "$work/busy.out"
[ "$status" = 0 ] || fail "busy stand-in: exit code $status"
in_order "$out" '^refused calls [1-9][0-9]*$'
serve_standin "$work/busy.out" --mailbox "$(winpath "$work/busy-run.xml")" --busy-after 0 --busy-for 10000 \
  --wait 300000 || exit 1
run_sortwise 0 undo --outlook --log "$busy_log"
in_order "$out" '^moved back 11, left alone 0, failed 0$'
close_standin "$work/busy.out"
[ "$status" = 0 ] || fail "busy stand-in: exit code $status"
in_order "$out" '^refused calls [1-9][0-9]*$'
finish
