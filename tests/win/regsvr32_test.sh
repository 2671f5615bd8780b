#!/usr/bin/env bash
# regsvr32_test.sh DLL BITS [CLSID PROGID FRIENDLY-NAME]: registers an Outlook add-in (by default
# the test add-in) with the regsvr32 of its bitness, checks every key and value with reg query,
# then unregisters it twice and checks that all are gone.
set -uo pipefail
dll=$1
bits=$2
: "${WINEPREFIX:?}"
wine=$(dirname "$0")/../../scripts/wine-run
winpath() { "$wine" winepath.exe -w "$1" | tr -d '\r'; }
system=$WINEPREFIX/drive_c/windows/$([ "$bits" = 32 ] && echo syswow64 || echo system32)
clsid=${3:-'{3B8F6A52-0E1D-4C47-9A2B-6D5E4F3C2B1A}'}
progid=${4:-Brevanta.TestAddIn}
friendly=${5:-Sortwise Test Add-In}
# As a pattern: dots (and nothing else the names hold) matched literally.
pattern() { sed 's/[\\.]/\\&/g' <<<"$1"; }
classes='HKLM\Software\Classes'
addins='HKCU\Software\Microsoft\Office'
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# The view must be named: which reg.exe Wine starts does not choose it.
reg() { "$wine" "$system/reg.exe" "$@" "/reg:$bits" 2>/dev/null | tr -d '\r'; }
# expect KEY VALUE-OPTION TYPE DATA: the value exists with this type and data.
expect() {
  local out
  out=$(reg query "$1" $2)
  grep -Eq "^\s+\S.*\s$3\s+$4\$" <<<"$out" || fail "$1 $2: expected $3 $4, got: $out"
}
absent() { reg query "$1" >/dev/null && fail "$1 exists" || true; }
regsvr32() { "$wine" "$system/regsvr32.exe" /s "$@"; }

dllw=$(winpath "$dll")
regsvr32 "$dllw" || fail "regsvr32 returned $?"
expect "$classes\\CLSID\\$clsid" /ve REG_SZ "$(pattern "$friendly")"
expect "$classes\\CLSID\\$clsid\\InprocServer32" /ve REG_SZ "$(pattern "$dllw")"
expect "$classes\\CLSID\\$clsid\\InprocServer32" '/v ThreadingModel' REG_SZ Both
expect "$classes\\CLSID\\$clsid\\ProgID" /ve REG_SZ "$(pattern "$progid")"
expect "$classes\\$progid\\CLSID" /ve REG_SZ "$clsid"
expect "$addins\\Outlook\\Addins\\$progid" '/v FriendlyName' REG_SZ "$(pattern "$friendly")"
expect "$addins\\Outlook\\Addins\\$progid" '/v LoadBehavior' REG_DWORD 0x3
for product in Word Excel PowerPoint; do absent "$addins\\$product\\Addins\\$progid"; done

for round in 1 2; do
  regsvr32 /u "$dllw" || fail "regsvr32 /u (round $round) returned $?"
  absent "$classes\\CLSID\\$clsid"
  absent "$classes\\$progid"
  absent "$addins\\Outlook\\Addins\\$progid"
done
reg query "$addins" >/dev/null || fail "$addins was removed"

[ "$failures" = 0 ] && echo "PASS" || exit 1
