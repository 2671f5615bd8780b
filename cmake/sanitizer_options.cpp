// Linked into every program of the sanitizer build. A sanitizer's report ends the program with
// an exit code that no normal outcome uses (the programs exit 0, 1 or 2 by design), so a crash
// can never pass for a result: not a stack overflow for "some mails failed", not a leak for a
// failed test. ASan's exit code also covers the UBSan and LSan reports of an ASan build; the
// others are set for builds without ASan. The environment (ASAN_OPTIONS, ...) still overrides.
#define SORTWISE_STRINGIFY2(X) #X
#define SORTWISE_STRINGIFY(X) SORTWISE_STRINGIFY2(X)
#define SORTWISE_EXIT_OPTION "exitcode=" SORTWISE_STRINGIFY(SORTWISE_SANITIZER_EXIT_CODE)

extern "C" {

// The runtimes call these before main, perhaps before the program's own initialisation: they
// must not be instrumented themselves.
__attribute__((no_sanitize("address", "undefined"), visibility("default"), used)) const char*
__asan_default_options() {
  return SORTWISE_EXIT_OPTION;
}

__attribute__((no_sanitize("address", "undefined"), visibility("default"), used)) const char*
__ubsan_default_options() {
  return SORTWISE_EXIT_OPTION ":print_stacktrace=1";
}

__attribute__((no_sanitize("address", "undefined"), visibility("default"), used)) const char*
__lsan_default_options() {
  return SORTWISE_EXIT_OPTION;
}

}  // extern "C"
