#!/usr/bin/env bash
# check_includes_test.sh: the include check on small trees; each case plants one include and
# says whether the check must pass, and which file:line it must name when it fails.
set -uo pipefail
check=$(cd "$(dirname "$0")/../../scripts" && pwd)/check-includes
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# case NAME FILE INCLUDE WANT: a tree with one header per layer, FILE given INCLUDE on line 2;
# WANT is "pass" or the "file:line" the check must name.
case_() {
  local name=$1 file=$2 include=$3 want=$4 tree=$work/$1 out status
  for dir in src/os src/foundation src/platform src/host src/sorting src/office tools/sortwise; do
    mkdir -p "$tree/$dir" && echo '#pragma once' >"$tree/$dir/a.h"
  done
  printf '#pragma once\n#include "%s"\n' "$include" >"$tree/$file"
  out=$("$check" "$tree" 2>&1); status=$?
  if [ "$want" = pass ]; then
    [ $status -eq 0 ] || { echo "FAIL: $name: $out"; failures=$((failures + 1)); }
  elif [ $status -eq 0 ] || ! grep -q "^$want: " <<<"$out"; then
    echo "FAIL: $name: wanted $want named, got ($status): $out"; failures=$((failures + 1))
  fi
}

case_ down            src/host/b.h         "foundation/a.h" pass
case_ own-layer       src/host/b.h         "host/a.h"       pass
case_ beside          src/host/b.h         "a.h"            pass
case_ tool-uses-all   tools/sortwise/b.h   "sorting/a.h"    pass
case_ up              src/host/b.h         "sorting/a.h"    src/host/b.h:2
case_ under-os        src/os/b.h           "foundation/a.h" src/os/b.h:2
case_ sideways        src/office/b.h       "sorting/a.h"    src/office/b.h:2
case_ no-such-beside  src/host/b.h         "missing.h"      src/host/b.h:2
case_ no-layer        src/platform/b.h     "tests/a.h"      src/platform/b.h:2

if [ $failures -eq 0 ]; then echo PASS; else exit 1; fi
