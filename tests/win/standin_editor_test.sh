#!/usr/bin/env bash
# standin_editor_test.sh STANDIN DLL BITS MAILBOX RULES EXPECTED NO-INBOX-MAILBOX: the stand-in
# drives the rule editor that the test add-in's click opens (--editor, --editor-shot) as a person
# would, on an X display under Wine's virtual desktop: its picture with the frame, a run that moves
# the mail EXPECTED lists, a close; and a run that fails in the editor (a mailbox without inbox).
set -uo pipefail
standin_exe=$1
dll=$2
bits=$3
mailbox=$4
rules=$5
expected=$6
no_inbox=$7
: "${DISPLAY:?the editor is drawn: run under xvfb-run}"
here=$(dirname "$0")
source "$here/standin_lib.sh"
work=$(mktemp -d)
cleanup() {
  rm -rf "$work"
  "$wine" reg.exe delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1
  "$here/../../scripts/wine-prefix" stop "$WINEPREFIX"
}
trap cleanup EXIT

# Wine's desktop process belongs to the display it was started on: start afresh on this one.
"$here/../../scripts/wine-prefix" stop "$WINEPREFIX"
# A virtual desktop, where Wine draws the window frames itself (the prefix is made afresh for
# every test run; an application's own desktop setting is not taken by 32-bit programs here).
"$wine" reg.exe add 'HKCU\Software\Wine\Explorer' /v Desktop /d Standin /f >/dev/null 2>&1
"$wine" reg.exe add 'HKCU\Software\Wine\Explorer\Desktops' /v Standin /d 1200x900 /f >/dev/null 2>&1
dllw=$(winpath "$dll")
"$wine" "$(system_folder "$bits")/regsvr32.exe" /s "$dllw" || fail "regsvr32 returned $?"

cp "$mailbox" "$work/mailbox.xml"
cp "$rules" "$work/rules.xml"
editor=(SORTWISE_TEST_ADDIN=editor "SORTWISE_TEST_ADDIN_RULES=$(winpath "$work/rules.xml")")
run_standin "${editor[@]}" -- --mailbox "$(winpath "$work/mailbox.xml")" --save "$(winpath "$work/after.xml")" \
  --press brvTest.1 --editor-shot "$(winpath "$work/shot.bmp")" --editor run,close
[ "$status" = 0 ] || fail "editor: exit code $status"
in_order "$out" '^testaddin: click 1$' '^editor shown$' '^editor shot [0-9]+x[0-9]+$' '^editor run$' \
  '^editor closed$' '^press brvTest\.1 hr=0x00000000$' '^released refs=0$'
[ "$(count "$out" '^testaddin: editor result')" = 1 ] || fail "editor: the editor did not return once"
cmp -s "$mailbox" "$work/mailbox.xml" || fail "editor: the mailbox read was changed"

# The picture: a 24-bit BMP of the size printed, painted, with the title bar drawn.
python3 - "$work/shot.bmp" "$(grep -m1 -oE '^editor shot [0-9]+x[0-9]+$' <<<"$out" | cut -d' ' -f3)" <<'PY' || fail "editor: the picture"
import struct, sys
data = open(sys.argv[1], "rb").read()
assert data[:2] == b"BM", "not a BMP file"
offset, = struct.unpack_from("<I", data, 10)
width, height, planes, bits = struct.unpack_from("<iiHH", data, 18)
assert bits == 24, f"{bits} bits per pixel"
assert f"{width}x{height}" == sys.argv[2], f"{width}x{height}, printed {sys.argv[2]}"
stride = (width * 3 + 3) & ~3
def colours(rows):  # rows counted from the top; the file stores them from the bottom
    return {data[offset + (height - 1 - r) * stride + 3 * x: offset + (height - 1 - r) * stride + 3 * x + 3]
            for r in rows for x in range(width)}
assert len(colours(range(height))) > 16, "the window is not painted"
# Without its frame the window's top rows are one colour (nothing drawn there).
assert len(colours(range(2, 18))) > 4, "no title bar in the picture"
PY

# The run moved what the clean-up of these rules moves.
python3 - "$work/after.xml" >"$work/actual" <<'PY'
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
grep -v '^ERROR: ' "$expected" | diff -u - "$work/actual" || fail "editor: the run's moves differ from the expected ones"

# A run that fails shows its error over the editor: reported, the box and the editor closed, the
# press returns, the stand-in fails.
run_standin SORTWISE_TEST_ADDIN=editor -- --mailbox "$(winpath "$no_inbox")" --press brvTest.1 --editor run,close
[ "$status" = 1 ] || fail "failed run: exit code $status, expected 1"
in_order "$out" '^editor shown$' '^editor error ".+"$' '^editor closed by its frame after the failed step$' \
  '^press brvTest\.1 hr=0x00000000$' '^released refs=0$'
[ "$(count "$out" '^editor run$')" = 0 ] || fail "failed run: reported as run"

"$wine" "$(system_folder "$bits")/regsvr32.exe" /s /u "$dllw" || fail "regsvr32 /u returned $?"
finish
