# Front door. `make test` installs what is missing, builds every preset and
# runs every test; `make run` opens the viewer on the sample documents;
# `make fuzz` runs each fuzz target for FUZZ_SECONDS (default 10 minutes);
# `make bench` runs the benchmarks and writes build/bench/report.md and .png;
# `make dist` writes the download, build/dist/tessavel-VERSION-windows-x64.zip,
# and the per-user installer beside it, tessavel-VERSION-windows-x64.msi.
.PHONY: all setup native windows fuzz-build tsan test test-native test-windows test-fuzz test-tsan fuzz run bench dist clean

FUZZ_SECONDS ?= 600

all: native windows fuzz-build

setup:
	@scripts/setup

native: setup
	cmake --preset native >/dev/null
	cmake --build --preset native

windows: setup
	cmake --preset windows >/dev/null
	cmake --build --preset windows

fuzz-build: setup
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz

test-native: native
	ctest --preset native

test-windows: windows
	ctest --preset windows

# A few seconds per fuzz target, to catch a reader that crashes at once.
test-fuzz: fuzz-build
	ctest --preset fuzz

# The tests that run code on several threads, under ThreadSanitizer.
tsan: setup
	cmake --preset tsan >/dev/null
	cmake --build --preset tsan

test-tsan: tsan
	ctest --preset tsan

test: test-native test-windows test-fuzz test-tsan

# Findings go to tests/corpus with a note to complete; see tests/corpus/README.md.
fuzz: fuzz-build
	scripts/fuzz run build/fuzz $(FUZZ_SECONDS)

run: windows
	scripts/run-viewer

# Optimised and without sanitizers, so the numbers mean something. Options go
# through the environment: BENCH_REPETITIONS, BENCH_MIN_TIME, BENCH_FILTER,
# BENCH_BASELINE (an earlier build/bench/results.json to compare with).
bench: setup
	cmake --preset bench >/dev/null
	cmake --build --preset bench
	scripts/bench-report --build build/bench

dist: setup
	cmake --preset windows >/dev/null
	cmake --build --preset windows --target dist

clean:
	rm -rf build
