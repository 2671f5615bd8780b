SHELL := /bin/bash
# The two commands of README.md, and the pieces they are made of.
# `make test` installs what is missing, builds the three targets and runs every test.

TARGETS := native win32 win64

.PHONY: test deps build clean

test: deps
	@failed=""; \
	for t in $(TARGETS); do \
	  echo "=== $$t ==="; \
	  $(MAKE) --no-print-directory test-$$t || failed="$$failed $$t"; \
	done; \
	if [ -n "$$failed" ]; then echo "make test: FAILED in:$$failed"; exit 1; fi; \
	echo "make test: all targets passed"

deps:
	@scripts/install-deps

build: deps $(addprefix build-,$(TARGETS))

build-%:
	@mkdir -p build
	@[ -f build/$*/CMakeCache.txt ] || cmake --preset $* >build/$*.configure.log 2>&1 || \
	  { cat build/$*.configure.log; exit 1; }
	@cmake --build --preset $* 2>&1 | grep -v -E '^\[ *[0-9]+%\]|^Consolidate compiler generated|(Entering|Leaving) directory' || true; \
	  test $${PIPESTATUS[0]} -eq 0

test-%: build-%
	@ctest --preset $*

clean:
	rm -rf build
