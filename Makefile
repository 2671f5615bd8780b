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

.PHONY: test demo demo-cli installer bench bench-windows fuzz screenshots deps build clean

test: deps
	@probe=$$(scripts/win32-probe) || exit 2; export SORTWISE_WIN32_PROBE=$$probe; \
	failed=""; \
	for t in $(TARGETS); do \
	  echo "=== $$t ==="; \
	  $(MAKE) --no-print-directory test-$$t || failed="$$failed $$t"; \
	done; \
	if [ -n "$$failed" ]; then echo "make test: FAILED in:$$failed"; exit 1; fi; \
	if [ "$$probe" = yes ]; then echo "make test: all targets passed"; \
	else echo "win32: built and checked; tests NOT RUN: this machine cannot execute 32-bit programs"; \
	     echo "make test: native and win64 passed"; fi

# The add-in at work in the Outlook stand-in under Wine (64-bit): its button pressed, the rule
# editor's picture taken, a run and a close clicked; then what moved, the rules file it saved
# and where the picture is.
demo: deps configure-win64
	@scripts/install-deps screenshots
	@scripts/demo

# The sorter at work without Windows: the sample rules checked, then one clean-up run on the
# sample mailbox with the command-line tool.
demo-cli: deps configure-native
	@scripts/quiet-build native --target sortwise
	@echo "=== sortwise check samples/rules.xml"
	@build/native/tools/sortwise/sortwise check samples/rules.xml
	@echo "=== sortwise run --mailbox samples/mailbox.xml --config samples/rules.xml"
	@build/native/tools/sortwise/sortwise run --mailbox samples/mailbox.xml --config samples/rules.xml \
	  --save build/demo-mailbox.xml; [ $$? -le 1 ]
	@echo "=== the mailbox after the run: build/demo-mailbox.xml"

# The per-user installers of Sortwise.dll (NSIS) into build/installer, from the Release builds'
# DLLs and sortwise.exe: SortwiseSetup-1.0.0.exe (32-bit, the one to ship) and
# SortwiseSetup-1.0.0-x64.exe.
installer: deps configure-win32-release configure-win64-release
	@scripts/quiet-build win32-release --target sortwise_addin sortwise
	@scripts/quiet-build win64-release --target sortwise_addin sortwise
	@scripts/make-installer build/installer build/win32-release/src/addin/Sortwise.dll \
	  build/win64-release/src/addin/Sortwise.dll build/win32-release/tools/sortwise/sortwise.exe \
	  build/win64-release/tools/sortwise/sortwise.exe

# Google Benchmark, native Release build.
bench: deps configure-bench
	@scripts/quiet-build bench --target sortwise_bench
	@build/bench/bench/sortwise_bench --benchmark_counters_tabular=true --benchmark_repetitions=3 \
	  --benchmark_report_aggregates_only=true --benchmark_filter="$(BENCH_FILTER)"

# The windows' timings: a 64-bit Release build under Wine, in a fresh prefix.
bench-windows: deps configure-win64-release
	@scripts/quiet-build win64-release --target ui_bench inbox_com_bench addin_startup_bench auto_cleanup_bench
	@scripts/wine-prefix fresh build/win64-release/wineprefix
	@WINEPREFIX=$(CURDIR)/build/win64-release/wineprefix scripts/wine-run build/win64-release/bench/windows/ui_bench.exe | tr -d '\r'
	@WINEPREFIX=$(CURDIR)/build/win64-release/wineprefix scripts/wine-run build/win64-release/bench/windows/inbox_com_bench.exe | tr -d '\r'
	@WINEPREFIX=$(CURDIR)/build/win64-release/wineprefix scripts/wine-run build/win64-release/bench/windows/addin_startup_bench.exe | tr -d '\r'
	@WINEPREFIX=$(CURDIR)/build/win64-release/wineprefix scripts/wine-run build/win64-release/bench/windows/auto_cleanup_bench.exe | tr -d '\r'
	@scripts/wine-prefix stop build/win64-release/wineprefix

# One picture of each window at 96 and 144 dpi into docs/images (Wine under Xvfb, ImageMagick).
screenshots: deps build-win64 installer
	@scripts/install-deps screenshots
	@scripts/screenshots

# libFuzzer with clang (build/fuzz), one fuzzer after the other, each for FUZZ_SECONDS. New
# inputs go to build/fuzz/corpus/NAME, findings to build/fuzz/artifacts/NAME, the log to
# build/fuzz/NAME.log; the seeds in fuzz/corpus are only read. `make test` replays the seeds.
# Any artifact written fails the run, whatever FUZZ_FLAGS say (scripts/fuzz-run).
fuzz:
	@scripts/install-deps fuzz
	@$(MAKE) --no-print-directory build-fuzz
	@SORTWISE_FUZZ_WAIVE="$(FUZZ_WAIVE)" scripts/fuzz-run "$(FUZZ_SECONDS)" "$(FUZZ_FLAGS)" $(FUZZERS)

deps:
	@scripts/install-deps

build: deps $(addprefix build-,$(TARGETS))

configure-%:
	@mkdir -p build
	@[ -f build/$*/CMakeCache.txt ] || cmake --preset $* >build/$*.configure.log 2>&1 || \
	  { cat build/$*.configure.log; exit 1; }

build-%: configure-%
	@scripts/quiet-build $*

test-%: build-%
	@ctest --preset $*

# Where the machine cannot execute 32-bit programs, win32 is built and checked but not run.
test-win32: build-win32
	@scripts/test-win32

clean:
	rm -rf build
