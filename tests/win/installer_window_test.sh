#!/usr/bin/env bash
# installer_window_test.sh DLL32 DLL64 EXE32 EXE64 WINDOW-CLICK: the installer we ship (the 64-bit
# one where this machine runs no 32-bit programs) with its windows, clicked through as a person
# would with WINDOW-CLICK, on an X display: Outlook running, told and cancelled, then closed and
# retried; the finish page; the uninstaller's confirmation and its end.
# Prints "SKIP: ..." when the 32-bit files are not built.
set -uo pipefail
dll32=$1
dll64=$2
exe32=$3
exe64=$4
click_exe=$5
: "${DISPLAY:?the windows of the installer are drawn: run under xvfb-run}"
here=$(dirname "$0")
for file in "$dll32" "$exe32"; do
  if [ ! -f "$file" ]; then
    echo "SKIP: $file is not built (make test builds win32 before win64)"
    exit 0
  fi
done
source "$here/standin_lib.sh"

product='Brevanta Outlook Sortwise Add-In'
entry='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Brevanta.SortwiseAddIn'
office='HKLM\Software\Microsoft\Office\16.0\Outlook'
if [ "$("$here/../../scripts/win32-probe")" = yes ]; then target=x86; else target=amd64; fi
work=$(mktemp -d)
installer=$("$here/../../scripts/make-installer" "$work" "$dll32" "$dll64" "$exe32" "$exe64" "$target") || exit 1
program_pid=""
folder=""
cleanup() {
  stop_outlook
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  if [ -n "$folder" ] && [ -f "$folder/Uninstall.exe" ]; then
    "$wine" "$folder/Uninstall.exe" /S "_?=$folderw" >/dev/null 2>&1
    rm -rf "$folder"
  fi
  rm -rf "$work"
  [ "$target" = amd64 ] && "$wine" reg.exe delete "$office" /f >/dev/null 2>&1
  "$here/../../scripts/wine-prefix" stop "$WINEPREFIX"
}
trap cleanup EXIT
# Wine's desktop process belongs to the display it was started on: start afresh on this one.
"$here/../../scripts/wine-prefix" stop "$WINEPREFIX"
# Where no 32-bit program runs, neither does the 32-bit regsvr32: Office's value says 64-bit Outlook.
[ "$target" = amd64 ] && "$wine" reg.exe add "$office" /v Bitness /d x64 /f >/dev/null

localappdata=$("$wine" cmd.exe /c 'echo %LocalAppData%' | tr -d '\r')
folderw="$localappdata\\Programs\\Brevanta\\Sortwise"
folder=$("$wine" winepath.exe -u "$folderw" | tr -d '\r')

# start PROGRAM ARGS...: runs a Windows program with its windows in the background.
start() {
  echo "=== $*"
  "$wine" "$@" &
  program_pid=$!
}
# ended WHAT EXPECTED-EXIT-CODE: the program started last has ended with this code.
ended() {
  local status
  wait "$program_pid"
  status=$?
  program_pid=""
  [ "$status" = "$2" ] || fail "$1: exit code $status, expected $2"
}
# click [--find-only] CAPTION BUTTON [TEXT]: see window-click.
click() {
  "$wine" "$click_exe" --timeout 60 "$@" | tr -d '\r' || fail "no button: $*"
}
installed() { "$wine" reg.exe query "$entry" /v DisplayName 2>/dev/null | grep -q "$product"; }

# Outlook running (any program named OUTLOOK.EXE): the user is told; Cancel leaves nothing.
start_outlook "$work"
start "$installer"
click "$product" Cancel "Outlook is running. Close Outlook, then choose Retry to continue."
ended "install cancelled while Outlook runs" 3
[ -e "$folder" ] && fail "cancelled install: $folder exists"
installed && fail "cancelled install: the entry exists"

# Outlook closed while the message is up: Retry goes on, the finish page ends it.
start "$installer"
click --find-only "$product" Retry "Outlook is running"
stop_outlook
click "$product" Retry "Outlook is running"
click "$product" Finish "is installed. Outlook loads it at its next start"
ended "install" 0
ls "$folder"/x*/Sortwise.dll >/dev/null 2>&1 || fail "install: no Sortwise.dll under $folder"
for dll in "$folder"/x*/Sortwise.dll; do
  [ -f "$(dirname "$dll")/sortwise.exe" ] || fail "install: no sortwise.exe beside $dll"
done
installed || fail "install: no entry in the list of installed programs"
# Without an installation there is nothing to uninstall.
[ "$failures" = 0 ] || finish

# The uninstaller as the list of installed programs starts it, run in place to keep its exit code:
# the confirmation, then the end of the removal.
start "$folder/Uninstall.exe" "_?=$folderw"
click "$product" Uninstall "$folderw"
click "$product" Close
ended "uninstall" 0
rm -f "$folder/Uninstall.exe"
rmdir "$folder" 2>/dev/null
[ -e "$folder" ] && fail "uninstall: left behind: $(find "$folder")"
installed && fail "uninstall: the entry is still there"

finish
