#!/usr/bin/env bash
# standin_cleanup_test.sh STANDIN MAILBOX RULES EXPECTED: lets the Outlook stand-in serve MAILBOX
# through COM, run one clean-up with RULES and save the mailbox; the ERROR lines and every
# folder's items afterwards (path, EntryID, subject, in position order) must be EXPECTED.
set -uo pipefail
standin=$1
mailbox=$2
rules=$3
expected=$4
: "${WINEPREFIX:?}"
wine=$(dirname "$0")/../../scripts/wine-run
winpath() { "$wine" winepath.exe -w "$1" | tr -d '\r'; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

out=$("$wine" "$standin" --mailbox "$(winpath "$mailbox")" --cleanup "$(winpath "$rules")" \
      --save "$(winpath "$work/saved.xml")" 2>&1 | tr -d '\r')
status=${PIPESTATUS[0]}
echo "$out"
if [ "$status" != 0 ]; then
  echo "FAIL: stand-in exited with $status"
  exit 1
fi
{
  grep -E '^ERROR: ' <<<"$out"
  python3 - "$work/saved.xml" <<'PY'
import sys
import xml.etree.ElementTree as ET

def walk(element, path):
    for child in element:
        if child.tag == "folder":
            walk(child, path + "\\" + child.get("name"))
        elif child.tag != "sender":
            print(f"{path}\t{child.get('id')}\t{child.get('subject')}")

for store in ET.parse(sys.argv[1]).getroot():
    walk(store, "\\\\" + store.get("name"))
PY
} >"$work/actual"
if diff -u "$expected" "$work/actual"; then
  echo PASS
else
  echo "FAIL: the clean-up through COM differs from the expected result"
  exit 1
fi
