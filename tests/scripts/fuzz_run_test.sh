#!/usr/bin/env bash
# fuzz_run_test.sh: the run of `make fuzz` judges a run by what it wrote, not only by the exit
# code. Stand-ins take the fuzzers' place; each does what its case asks: a clean run, a finding
# written while going on (as with -fork=1 -ignore_crashes=1: exit code 0), or a failure.
set -uo pipefail
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin"
for f in config mailbox; do
  cat >"$work/bin/${f}_fuzz" <<'STANDIN'
#!/usr/bin/env bash
echo "$(basename "$0") $*" >>"$RECORD"
for arg; do case $arg in -artifact_prefix=*) prefix=${arg#-artifact_prefix=} ;; esac; done
echo "#4096	DONE   cov: 10 ft: 20 corp: 3/30b exec/s: 100 rss: 30Mb"
case ${STANDIN_CASE:-clean}:$(basename "$0") in
  plant:config_fuzz) printf 'x' >"${prefix}crash-0123456789abcdef" ;;
  fail:mailbox_fuzz) echo "==1==ERROR: AddressSanitizer: heap-buffer-overflow"; exit 1 ;;
esac
exit 0
STANDIN
  chmod +x "$work/bin/${f}_fuzz"
done
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# check NAME CASE EXIT OUTPUT-PATTERN...: runs config and mailbox with -fork=1 -ignore_crashes=1.
check() {
  local name=$1 case=$2 want_exit=$3 out status pattern
  shift 3
  : >"$work/record"
  out=$(STANDIN_CASE=$case RECORD=$work/record SORTWISE_FUZZ_BIN=$work/bin SORTWISE_FUZZ_OUT=$work/out \
        "$scripts/fuzz-run" 5 "-fork=1 -ignore_crashes=1" config mailbox 2>&1)
  status=$?
  [ "$status" = "$want_exit" ] || fail "$name: exit $status, expected $want_exit ($out)"
  for pattern; do
    grep -Eq -- "$pattern" <<<"$out" || fail "$name: output '$out' does not match '$pattern'"
  done
  grep -q -- "-ignore_crashes=1 $work/out/corpus/config" "$work/record" ||
    fail "$name: the flags did not reach the fuzzer: $(cat "$work/record")"
}

check "a clean run" clean 0 '^make fuzz: no findings$'
check "one artifact planted, exit code 0" plant 1 \
  "^artifact: $work/out/artifacts/config/crash-0123456789abcdef\$" '^make fuzz: findings in: config '
# The artifact of an earlier run is not this run's finding.
check "an artifact of an earlier run" clean 0 '^make fuzz: no findings$'
check "a fuzzer that fails" fail 1 '^mailbox: exit code 1' '^make fuzz: findings in: mailbox '

if [ $failures = 0 ]; then echo PASS; else exit 1; fi
