SHELL := /bin/bash
# The two commands of README.md, and the pieces they are made of.
# `make test` installs what is missing, builds the three targets and runs every test.

TARGETS := native win32 win64
# make bench BENCH_FILTER=BM_Run/100000 runs only the benchmarks that match.
BENCH_FILTER ?= .
# make fuzz FUZZ_SECONDS=600 FUZZERS=config runs only that fuzzer, for ten minutes; FUZZ_FLAGS
# adds libFuzzer options (-fork=1 -ignore_crashes=1 goes on after a finding); FUZZ_WAIVE="not
# UTF-8|XML cannot carry" waives the properties whose text holds one of those parts.
FUZZ_SECONDS ?= 60
FUZZERS ?= config mailbox matching text
FUZZ_FLAGS ?=
FUZZ_WAIVE ?=

.PHONY: test demo bench fuzz deps build clean

test: deps
	@failed=""; \
	for t in $(TARGETS); do \
	  echo "=== $$t ==="; \
	  $(MAKE) --no-print-directory test-$$t || failed="$$failed $$t"; \
	done; \
	if [ -n "$$failed" ]; then echo "make test: FAILED in:$$failed"; exit 1; fi; \
	echo "make test: all targets passed"

# The sorter at work: the sample rules checked, then one clean-up run on the sample mailbox.
demo: deps configure-native
	@cmake --build --preset native --target sortwise 2>&1 | grep -E 'error|warning' || true
	@echo "=== sortwise check samples/rules.xml"
	@build/native/tools/sortwise/sortwise check samples/rules.xml
	@echo "=== sortwise run --mailbox samples/mailbox.xml --config samples/rules.xml"
	@build/native/tools/sortwise/sortwise run --mailbox samples/mailbox.xml --config samples/rules.xml \
	  --save build/demo-mailbox.xml; [ $$? -le 1 ]
	@echo "=== the mailbox after the run: build/demo-mailbox.xml"

# Google Benchmark, native Release build.
bench: deps configure-bench
	@cmake --build --preset bench --target sortwise_bench 2>&1 | grep -E 'error|warning' || true
	@build/bench/bench/sortwise_bench --benchmark_counters_tabular=true --benchmark_repetitions=3 \
	  --benchmark_report_aggregates_only=true --benchmark_filter="$(BENCH_FILTER)"

# libFuzzer with clang (build/fuzz), one fuzzer after the other, each for FUZZ_SECONDS. New
# inputs go to build/fuzz/corpus/NAME, findings to build/fuzz/artifacts/NAME, the log to
# build/fuzz/NAME.log; the seeds in fuzz/corpus are only read. `make test` replays the seeds.
fuzz:
	@scripts/install-deps fuzz
	@$(MAKE) --no-print-directory build-fuzz
	@failed=""; \
	for f in $(FUZZERS); do \
	  echo "=== $$f ($(FUZZ_SECONDS) s)"; \
	  mkdir -p build/fuzz/corpus/$$f build/fuzz/artifacts/$$f; \
	  SORTWISE_FUZZ_WAIVE="$(FUZZ_WAIVE)" build/fuzz/fuzz/$${f}_fuzz -max_total_time=$(FUZZ_SECONDS) -timeout=10 -print_final_stats=1 \
	    -dict=fuzz/$$f.dict -artifact_prefix=build/fuzz/artifacts/$$f/ $(FUZZ_FLAGS) \
	    build/fuzz/corpus/$$f fuzz/corpus/$$f >build/fuzz/$$f.log 2>&1 || failed="$$failed $$f"; \
	  grep -E '^#[0-9]+[:[:space:]]' build/fuzz/$$f.log | tail -n 1; \
	  grep -E 'property violated|^SUMMARY|Test unit written|^stat::number_of_executed_units' build/fuzz/$$f.log; \
	done; \
	if [ -n "$$failed" ]; then echo "make fuzz: findings in:$$failed (see build/fuzz/artifacts)"; exit 1; fi; \
	echo "make fuzz: no findings"

deps:
	@scripts/install-deps

build: deps $(addprefix build-,$(TARGETS))

configure-%:
	@mkdir -p build
	@[ -f build/$*/CMakeCache.txt ] || cmake --preset $* >build/$*.configure.log 2>&1 || \
	  { cat build/$*.configure.log; exit 1; }

build-%: configure-%
	@cmake --build --preset $* 2>&1 | grep -v -E '^\[ *[0-9]+%\]|^Consolidate compiler generated|(Entering|Leaving) directory' || true; \
	  test $${PIPESTATUS[0]} -eq 0

test-%: build-%
	@ctest --preset $*

clean:
	rm -rf build
