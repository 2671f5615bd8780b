#!/usr/bin/env bash
# standin_test.sh STANDIN DLL BITS: registers the test add-in, lets the Outlook stand-in load it
# from the registry, press its button and shut it down, and checks what the stand-in printed.
set -uo pipefail
standin=$1
dll=$2
bits=$3
source "$(dirname "$0")/standin_lib.sh"
system=$(system_folder "$bits")

dllw=$(winpath "$dll")
"$wine" "$system/regsvr32.exe" /s "$dllw" || fail "regsvr32 returned $?"

out=$("$wine" "$standin" --press brvTest.1 2>&1 | tr -d '\r')
status=${PIPESTATUS[0]}
echo "$out"
[ "$status" = 0 ] || fail "stand-in exited with $status"
in_order "$out" \
  '^addin Brevanta\.TestAddIn LoadBehavior=3 FriendlyName="Sortwise Test Add-In"$' \
  '^load Brevanta\.TestAddIn$' \
  '^testaddin: created$' \
  '^OnConnection mode=1 hr=0x00000000$' \
  '^COMAddIn\.Object set$' \
  '^testaddin: Initialize$' \
  '^OnStartupComplete hr=0x00000000$' \
  '^GetCustomUI Microsoft\.Outlook\.Explorer hr=0x00000000$' \
  '^group id=brvTest label="Test Group" buttons=1$' \
  '^onLoad RibbonOnLoad hr=0x00000000$' \
  '^button id=brvTest\.1 size=large label="Press me" screentip="Presses the test button" enabled=true visible=true image=icon 32x32' \
  '^testaddin: click 1$' \
  '^press brvTest\.1 hr=0x00000000$' \
  '^invalidated count=1$' \
  '^button id=brvTest\.1 size=large label="Pressed 1" screentip="Presses the test button" enabled=true visible=true image=icon 32x32' \
  '^testaddin: Shutdown 1$' \
  '^OnBeginShutdown hr=0x00000000$' \
  '^OnDisconnection hr=0x00000000$' \
  '^testaddin: destroyed$' \
  '^released refs=0$'
[ "$(count "$out" '^testaddin: Shutdown')" = 1 ] || fail "Shutdown did not run exactly once"

# Asked for right after OnConnection, the markup is still empty: this add-in builds its ribbon in
# Initialize.
out=$("$wine" "$standin" --markup-at-connection 2>&1 | tr -d '\r')
status=${PIPESTATUS[0]}
echo "$out"
[ "$status" = 0 ] || fail "stand-in (markup at connection) exited with $status"
in_order "$out" '^OnConnection mode=1' '^GetCustomUI .* hr=0x00000000$' '^markup length=0$' '^testaddin: Initialize$' \
  '^OnStartupComplete hr=0x00000000$' '^testaddin: Shutdown 1$' '^released refs=0$'
[ "$(count "$out" '^button ')" = 0 ] || fail "buttons read from an empty markup"

"$wine" "$system/regsvr32.exe" /s /u "$dllw" || fail "regsvr32 /u returned $?"
out=$("$wine" "$standin" 2>&1 | tr -d '\r')
grep -q '^no add-ins to load$' <<<"$out" || fail "the add-in is still listed after unregistration: $out"

finish
