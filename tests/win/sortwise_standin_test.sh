#!/usr/bin/env bash
# sortwise_standin_test.sh STANDIN DLL BITS MAILBOX RULES: Sortwise.dll registered with regsvr32
# and loaded by the Outlook stand-in as Outlook loads it, on MAILBOX (profile "Work"): its ribbon
# in both markup orders, no rules file, the automatic clean-up with the rules RULES (also in an
# Office without its type library), a broken rules file (left as it is), and the button opening the rule editor
# whose Run and Close work and save the rules (on an X display). Like Outlook, the stand-in
# trusts only the application it hands the add-in: no step may make the guard prompt.
set -uo pipefail
standin_exe=$1
dll=$2
bits=$3
mailbox=$4
rules=$5
: "${DISPLAY:?the editor is drawn: run under xvfb-run}"
here=$(dirname "$0")
source "$here/standin_lib.sh"
work=$(mktemp -d)
dllw=$(winpath "$dll")
cleanup() {
  "$wine" "$(system_folder "$bits")/regsvr32.exe" /s /u "$dllw"
  rm -rf "$work" "$rules_folder"
  "$here/../../scripts/wine-prefix" stop "$WINEPREFIX"
}
trap cleanup EXIT

# Wine's desktop process belongs to the display it was started on: start afresh on this one.
"$here/../../scripts/wine-prefix" stop "$WINEPREFIX"
"$wine" "$(system_folder "$bits")/regsvr32.exe" /s "$dllw" || fail "regsvr32 returned $?"
appdata=$("$wine" cmd.exe /c 'echo %AppData%' | tr -d '\r')
rules_folder=$("$wine" winepath.exe -u "$appdata\\Brevanta\\Sortwise" | tr -d '\r')
rules_file=$rules_folder/Work.xml
rm -rf "$rules_folder"
cp "$mailbox" "$work/mailbox.xml"
mailboxw=$(winpath "$work/mailbox.xml")
button='^button id=\S+ size=large label="Sortwise" screentip="Brevanta Outlook Sortwise"'
# folders_are FILE EXPECTED: the items of each folder of the mailbox FILE, by subject in position
# order, are EXPECTED (a Python dict).
folders_are() {
  python3 - "$1" "$2" <<'PY'
import ast, sys
import xml.etree.ElementTree as ET
folders = {f.get("name"): [m.get("subject") for m in f if m.tag != "folder"] for f in ET.parse(sys.argv[1]).iter("folder")}
expected = ast.literal_eval(sys.argv[2])
assert folders == expected, folders
PY
}

# The ribbon in both orders of asking; without a rules file no automatic run starts.
for order in "" --markup-at-connection; do
  run_standin SORTWISE_AUTO_DELAY_MS=0 -- --mailbox "$mailboxw" $order --wait 500
  [ "$status" = 0 ] || fail "ribbon $order: exit code $status"
  in_order "$out" '^load Brevanta\.SortwiseAddIn$' '^group id=\S+ label="Brevanta" buttons=1$' \
    "$button enabled=true visible=true image=icon 32x32" '^OnDisconnection hr=0x00000000$' '^released refs=0$'
  [ "$(count "$out" 'enabled=false')" = 0 ] || fail "ribbon $order: a run started without rules"
  # Asked at connection, the button shows once the start-up has loaded the rules.
  [ -z "$order" ] || in_order "$out" "$button enabled=true visible=false" '^OnStartupComplete hr=0x00000000$' \
    '^invalidated count=' "$button enabled=true visible=true"
done
[ -e "$rules_file" ] && fail "the rules file was written without the editor"

# The automatic clean-up: the old mail moves, the new one and the meeting request stay; the
# button is off meanwhile. The same where only IDispatch crosses apartments (a damaged Office).
mkdir -p "$rules_folder"
cp "$rules" "$rules_file"
for office in "" --no-type-library; do
  cp "$mailbox" "$work/mailbox.xml"
  run_standin SORTWISE_AUTO_DELAY_MS=0 -- --mailbox "$mailboxw" $office --save "$(winpath "$work/after.xml")" \
    --wait 3000
  [ "$status" = 0 ] || fail "automatic run $office: exit code $status"
  in_order "$out" '^OnStartupComplete hr=0x00000000$' "$button enabled=false" "$button enabled=true" \
    '^released refs=0$' '^guard prompts 0$'
  folders_are "$work/after.xml" '{"Inbox": ["New", "Invitation"], "Projects": ["Old"]}' ||
    fail "automatic run $office: the wrong mail moved"
done
cmp -s "$rules" "$rules_file" || fail "the automatic run wrote the rules file"
cp "$mailbox" "$work/mailbox.xml"

# A rules file that cannot be read: the start-up goes on without rules, the button shows (a
# click explains which file is broken), and the file is left as it is.
printf '<Sortwise><store name="x"' >"$rules_file"
run_standin -- --mailbox "$mailboxw"
[ "$status" = 0 ] || fail "broken rules: exit code $status"
in_order "$out" '^OnStartupComplete hr=0x00000000$' "$button enabled=true visible=true" '^released refs=0$'
[ "$(cat "$rules_file")" = '<Sortwise><store name="x"' ] || fail "broken rules: the file was written over"

# The button opens the editor; its Run moves the sender's mail without a guard prompt, and closing
# it saves the rules, making the folder anew.
cp "$rules" "$work/rules.xml"
rm -rf "$rules_folder"
run_standin SORTWISE_AUTO_DELAY_MS=0 -- --mailbox "$mailboxw" --press-label Sortwise --editor close
[ "$status" = 0 ] || fail "editor: exit code $status"
in_order "$out" '^editor shown$' '^editor closed$' '^press \S+ hr=0x00000000$' '^released refs=0$'
[ -f "$rules_file" ] || fail "editor: closing it did not save $rules_file"
sed 's/>True</>False</' "$work/rules.xml" >"$rules_file"
run_standin -- --mailbox "$mailboxw" --save "$(winpath "$work/after.xml")" --press-label Sortwise --editor run,close
[ "$status" = 0 ] || fail "editor run: exit code $status"
in_order "$out" '^editor shown$' '^editor run$' '^editor closed$' '^released refs=0$' '^guard prompts 0$'
folders_are "$work/after.xml" '{"Inbox": ["Invitation"], "Projects": ["New", "Old"]}' ||
  fail "editor run: the wrong mail moved"

finish
