#!/usr/bin/env bash
# installer_test.sh TARGET DLL32 DLL64 EXE32 EXE64 STANDIN64 STANDIN32 MAILBOX RULES: the per-user
# installer of TARGET (x86 or amd64, made here from the two DLLs and the two sortwise.exe by
# scripts/make-installer) in silent mode, in this prefix: installing places the DLLs Outlook's
# bitness asks for, each with the sortwise.exe of its bitness, and registers them through their own
# exports, with an entry in the list of installed programs; the installed sortwise.exe runs; the
# Outlook stand-in then loads the add-in (the 32-bit stand-in too where this machine runs 32-bit
# programs); installing
# again, over an older version, over a newer one, with Outlook running, and an installation that
# fails; uninstalling removes every file and row of the product but keeps the user's rules file
# (RULES, as the rules of MAILBOX's profile "Outlook").
# Prints "SKIP: ..." when this machine cannot run the installer or the 32-bit files are not built.
set -uo pipefail
target=$1
dll32=$2
dll64=$3
exe32=$4
exe64=$5
standin64=$6
standin32=$7
mailbox=$8
rules=$9
here=$(dirname "$0")
if [ "$target" = x86 ] && [ "$("$here/../../scripts/win32-probe")" = no ]; then
  echo "SKIP: the x86 installer is a 32-bit program, which this machine cannot run"
  exit 0
fi
for file in "$dll32" "$exe32"; do
  if [ ! -f "$file" ]; then
    echo "SKIP: $file is not built (make test builds win32 before win64)"
    exit 0
  fi
done
source "$here/standin_lib.sh"

clsid='{6E3F1C27-94B0-4A5D-8C61-3D2B7F09A4E8}'
progid=Brevanta.SortwiseAddIn
product='Brevanta Outlook Sortwise Add-In'
classes='HKLM\Software\Classes'
addins='HKCU\Software\Microsoft\Office\Outlook\Addins'
entry="HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$progid"
office='HKLM\Software\Microsoft\Office'
work=$(mktemp -d)
installer=$("$here/../../scripts/make-installer" "$work" "$dll32" "$dll64" "$exe32" "$exe64" "$target") || exit 1
folder=""
console_pid=""
# After a failure, too, no registration of ours is left for the other tests' stand-in to load.
cleanup() {
  stop_outlook
  stop_idle "$console_pid"
  if [ -n "$folder" ] && [ -f "$folder/Uninstall.exe" ]; then
    "$wine" "$folder/Uninstall.exe" /S "_?=$folderw" >/dev/null 2>&1
    rm -rf "$folder"
  fi
  rm -rf "$work"
  "$here/../../scripts/wine-prefix" stop "$WINEPREFIX"
}
trap cleanup EXIT

# The reg.exe of the view's bitness, the view named as well: Wine's 64-bit reg.exe does not see
# the keys that the 32-bit view shares with the 64-bit one (a ProgID, for one).
reg() {
  local view=$1
  shift
  "$wine" "$(system_folder "$view")/reg.exe" "$@" "/reg:$view" 2>/dev/null | tr -d '\r'
}
# expect VIEW KEY VALUE-OPTION TYPE DATA: the value exists with this type and data (a pattern).
# Asked twice before it fails: under load, one reg.exe of many has been seen to print nothing.
expect() {
  local out attempt
  for attempt in 1 2; do
    out=$(reg "$1" query "$2" $3)
    grep -Eq "^\s+\S.*\s$4\s+$5\$" <<<"$out" && return
    sleep 0.5
  done
  fail "$2 $3 (view $1): expected $4 $5, got: $out"
}
absent() { reg "$1" query "$2" >/dev/null && fail "$2 exists (view $1)" || true; }
pattern() { sed 's/[\\.()]/\\&/g' <<<"$1"; }
unixpath() { "$wine" winepath.exe -u "$1" | tr -d '\r'; }

# Where this machine runs no 32-bit programs, neither can the 32-bit regsvr32 run: Office's values
# then say 64-bit Outlook, and only the 64-bit path is tested.
if [ "$("$here/../../scripts/win32-probe")" = yes ]; then views="32 64"; else views=64; fi
if [ "$views" = 64 ]; then
  echo "this machine runs no 32-bit programs: testing the 64-bit path only"
  reg 64 add "$office\\16.0\\Outlook" /v Bitness /d x64 /f >/dev/null
fi

appdata=$("$wine" cmd.exe /c 'echo %AppData%' | tr -d '\r')
localappdata=$("$wine" cmd.exe /c 'echo %LocalAppData%' | tr -d '\r')
folderw="$localappdata\\Programs\\Brevanta\\Sortwise"
folder=$(unixpath "$folderw")
rules_file=$(unixpath "$appdata\\Brevanta\\Sortwise")/Outlook.xml
mkdir -p "$(dirname "$rules_file")"
cp "$rules" "$rules_file"
cp "$mailbox" "$work/mailbox.xml"
mailboxw=$(winpath "$work/mailbox.xml")

# run_installer EXPECTED-EXIT-CODE WHAT [ARGS...]: the installer, silent.
run_installer() {
  local expected=$1 what=$2 status
  shift 2
  echo "=== install ($what)"
  "$wine" "$installer" /S "$@"
  status=$?
  [ "$status" = "$expected" ] || fail "install ($what): exit code $status, expected $expected"
}
# uninstall WHAT: the uninstaller as the list of installed programs starts it, silent. It copies
# itself to the temporary folder and runs from there, so that it can delete itself: wait for that.
uninstall() {
  echo "=== uninstall ($1)"
  local command
  command=$(reg 64 query "$entry" /v QuietUninstallString | sed -nE 's/^\s+QuietUninstallString\s+REG_SZ\s+"(.*)" \/S$/\1/p')
  [ -n "$command" ] || { fail "uninstall ($1): no QuietUninstallString"; return; }
  "$wine" "$command" /S || fail "uninstall ($1): exit code $?"
  for _ in $(seq 150); do
    pgrep -f '~nsu' >/dev/null || break
    sleep 0.2
  done
}

# The folder of a bitness (32, 64) under the installation folder and in the installer's copies.
subfolder_of() { [ "$1" = 32 ] && echo x86 || echo x64; }

# installed WHAT BITNESS...: the product is installed with the DLLs of these bitnesses (32, 64)
# only, each with the sortwise.exe of its bitness beside it and registered in its registry view to
# its file, Outlook's row and the entry there, whose size is that of the files placed.
installed() {
  local what=$1 bits dll exe subfolder size=0 processor
  shift
  for bits in $views; do
    subfolder=$(subfolder_of "$bits")
    dll="$folder/$subfolder/Sortwise.dll"
    exe="$folder/$subfolder/sortwise.exe"
    if [[ " $* " == *" $bits "* ]]; then
      # Against the copies the installer holds (make-installer strips them).
      cmp -s "$work/$subfolder/Sortwise.dll" "$dll" || fail "$what: $dll is not the $bits-bit Sortwise.dll"
      cmp -s "$work/$subfolder/sortwise.exe" "$exe" || fail "$what: $exe is not the $bits-bit sortwise.exe"
      [ "$bits" = 32 ] && processor=i686 || processor=x86_64
      "$here/../../scripts/check-pe" "$processor-w64-mingw32-objdump" "$exe" "$processor" >/dev/null ||
        fail "$what: $exe is no $bits-bit program of the shipped kind"
      size=$((size + $(stat -c %s "$work/$subfolder/Sortwise.dll") + $(stat -c %s "$work/$subfolder/sortwise.exe")))
      expect $bits "$classes\\CLSID\\$clsid" /ve REG_SZ "$(pattern "$product")"
      expect $bits "$classes\\CLSID\\$clsid\\InprocServer32" /ve REG_SZ "$(pattern "$folderw\\$subfolder\\Sortwise.dll")"
      expect $bits "$classes\\CLSID\\$clsid\\InprocServer32" '/v ThreadingModel' REG_SZ Both
      expect $bits "$classes\\CLSID\\$clsid\\ProgID" /ve REG_SZ "$(pattern "$progid")"
      expect $bits "$classes\\$progid\\CLSID" /ve REG_SZ "$clsid"
    else
      [ -e "$dll" ] && fail "$what: $dll was placed"
      [ -e "$exe" ] && fail "$what: $exe was placed"
      absent $bits "$classes\\CLSID\\$clsid"
    fi
  done
  expect 64 "$addins\\$progid" '/v FriendlyName' REG_SZ "$(pattern "$product")"
  expect 64 "$addins\\$progid" '/v LoadBehavior' REG_DWORD 0x3
  [ "$(reg 64 query "$addins" | grep -c '^HKEY.*\\Addins\\')" = 1 ] || fail "$what: not one add-in under $addins"
  expect 64 "$entry" '/v DisplayName' REG_SZ "$(pattern "$product")"
  expect 64 "$entry" '/v DisplayVersion' REG_SZ '1\.0\.0'
  expect 64 "$entry" '/v Publisher' REG_SZ Brevanta
  expect 64 "$entry" '/v UninstallString' REG_SZ "$(pattern "\"$folderw\\Uninstall.exe\"")"
  expect 64 "$entry" '/v DisplayIcon' REG_SZ "$(pattern "$folderw\\Uninstall.exe")"
  # In KB, as the list of installed programs shows it.
  [ -f "$folder/Uninstall.exe" ] && size=$((size + $(stat -c %s "$folder/Uninstall.exe")))
  expect 64 "$entry" '/v EstimatedSize' REG_DWORD "$(printf '0x%x' $((size / 1024)))"
  [ "$(reg 64 query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s | grep -cE "DisplayName\s+REG_SZ\s+$(pattern "$product")$")" = 1 ] ||
    fail "$what: not one entry in the list of installed programs"
  [ -f "$folder/Uninstall.exe" ] || fail "$what: no uninstaller"
}

# nothing_left WHAT: no file, folder or registry row of the product; the user's rules are there.
nothing_left() {
  local view left
  left=$(find "$folder" -mindepth 1 2>/dev/null)
  [ -z "$left" ] || fail "$1: left behind: $left"
  for view in $views; do
    absent $view "$classes\\CLSID\\$clsid"
    absent $view "$classes\\$progid"
  done
  absent 64 "$addins\\$progid"
  absent 64 "$entry"
  cmp -s "$rules" "$rules_file" || fail "$1: the rules file $rules_file was changed or removed"
}

# The installed sortwise.exe of a bitness runs where it was placed, as a user starts it from a
# console: its help, and success.
runs() {
  local exe status help
  exe="$folder/$(subfolder_of "$1")/sortwise.exe"
  "$wine" "$exe" --help >"$work/help.txt" 2>&1
  status=$?
  help=$(tr -d '\r' <"$work/help.txt")
  [ "$status" = 0 ] || fail "$exe --help: exit code $status, expected 0"
  [ "$(head -n 1 <<<"$help")" = "usage: sortwise COMMAND [OPTIONS]" ] || fail "$exe --help printed: $help"
}

# The add-in as Outlook loads it: its group and button, from the installed DLL.
loads() {
  standin_exe=$1
  run_standin -- --mailbox "$mailboxw"
  [ "$status" = 0 ] || fail "stand-in $standin_exe: exit code $status"
  in_order "$out" "^load $(pattern "$progid")\$" '^group id=\S+ label="Brevanta" buttons=1$' \
    '^button id=\S+ size=large label="Sortwise" .*enabled=true visible=true' '^released refs=0$'
}

# A fresh machine without Office's values: both DLLs; Outlook loads the installed add-in.
run_installer 0 "no Office values"
installed "first install" $views
for bits in $views; do runs "$bits"; done
loads "$standin64"
if [ "$views" != 64 ] && [ -f "$standin32" ]; then
  loads "$standin32"
fi

# The same version again, and over an older one: in place, one entry, one set of rows.
run_installer 0 "same version"
installed "same version again" $views
# The older version's programs are replaced.
reg 64 add "$entry" /v DisplayVersion /d 0.9.0 /f >/dev/null
for bits in $views; do echo "sortwise 0.9.0" >"$folder/$(subfolder_of "$bits")/sortwise.exe"; done
run_installer 0 "over 0.9.0"
installed "over 0.9.0" $views

# A newer version stays as it is.
reg 64 add "$entry" /v DisplayVersion /d 1.2.0 /f >/dev/null
run_installer 4 "over 1.2.0"
expect 64 "$entry" '/v DisplayVersion' REG_SZ '1\.2\.0'
reg 64 add "$entry" /v DisplayVersion /d 1.0.0 /f >/dev/null
installed "after refusing to replace 1.2.0" $views

# Outlook running (any program named OUTLOOK.EXE): neither installing nor uninstalling touches
# anything; the uninstaller's exit code is its own when it runs in place (_?=).
start_outlook "$work"
run_installer 3 "Outlook running"
echo "=== uninstall (Outlook running)"
"$wine" "$folder/Uninstall.exe" /S "_?=$folderw"
status=$?
[ "$status" = 3 ] || fail "uninstall with Outlook running: exit code $status, expected 3"
stop_outlook
installed "with Outlook running" $views

# A sortwise.exe that runs (a windowless program by that name, as a run in a console) cannot be
# deleted: installing over it and uninstalling fail and leave the installation as it was, its
# add-in registered; once it has ended, both go through.
start_idle "$folder/x64/sortwise.exe"
console_pid=$idle_pid
run_installer 2 "sortwise.exe running"
echo "=== uninstall (sortwise.exe running)"
"$wine" "$folder/Uninstall.exe" /S "_?=$folderw"
status=$?
[ "$status" = 2 ] || fail "uninstall with sortwise.exe running: exit code $status, expected 2"
for bits in $views; do
  subfolder=$(subfolder_of "$bits")
  cmp -s "$work/$subfolder/Sortwise.dll" "$folder/$subfolder/Sortwise.dll" ||
    fail "sortwise.exe running: $folder/$subfolder/Sortwise.dll was removed"
  expect $bits "$classes\\CLSID\\$clsid\\InprocServer32" /ve REG_SZ "$(pattern "$folderw\\$subfolder\\Sortwise.dll")"
done
expect 64 "$entry" '/v DisplayName' REG_SZ "$(pattern "$product")"
stop_idle "$console_pid"
console_pid=""
run_installer 0 "after sortwise.exe ended"
installed "after sortwise.exe ended" $views

uninstall "after installing"
nothing_left "uninstall"

# Office's own values choose the DLL, in either registry view; Offices of both bitnesses, both.
office_values() {
  local view
  for view in $views; do reg $view delete "$office" /f >/dev/null; done
  [ "$views" = 64 ] && reg 64 add "$office\\16.0\\Outlook" /v Bitness /d x64 /f >/dev/null
  while [ $# -gt 0 ]; do
    reg "$1" add "$office\\$2" /v "$3" /d "$4" /f >/dev/null
    shift 4
  done
}
while read -r bits values; do
  [[ " $views " == *" 32 "* ]] || [[ "$bits $values" != *32* ]] || continue
  office_values $values
  run_installer 0 "Office: $values"
  installed "Office: $values" ${bits//,/ }
  uninstall "Office: $values"
  nothing_left "uninstall (Office: $values)"
done <<'CASES'
64    64 16.0\Outlook Bitness x64
32    32 16.0\Outlook Bitness x86
64    32 ClickToRun\Configuration Platform x64
32    64 ClickToRun\Configuration Platform x86
32    64 14.0\Outlook Bitness x86
32,64 64 ClickToRun\Configuration Platform x64 32 14.0\Outlook Bitness x86
CASES
office_values

# An installation that fails half-way (the 64-bit DLL's folder cannot be made) takes back the
# 32-bit DLL it had placed and registered: nothing is left for an uninstall to do.
mkdir -p "$folder"
touch "$folder/x64"
run_installer 2 "x64 folder blocked"
rm -f "$folder/x64"
nothing_left "failed install"
[ -e "$folder/Uninstall.exe" ] && uninstall "after the failed install" && nothing_left "uninstall after the failed install"

finish
