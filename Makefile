# Front door. `make test` installs what is missing, builds both presets and
# runs every test; `make run` opens the viewer on the sample documents;
# `make bench` runs the benchmarks and writes build/bench/report.md and .png.
.PHONY: all setup native windows test test-native test-windows run bench clean

all: native windows

setup:
	@scripts/setup

native: setup
	cmake --preset native >/dev/null
	cmake --build --preset native

windows: setup
	cmake --preset windows >/dev/null
	cmake --build --preset windows

test-native: native
	ctest --preset native

test-windows: windows
	ctest --preset windows

test: test-native test-windows

run: windows
	scripts/run-viewer

# Optimised and without sanitizers, so the numbers mean something. Options go
# through the environment: BENCH_REPETITIONS, BENCH_MIN_TIME, BENCH_FILTER,
# BENCH_BASELINE (an earlier build/bench/results.json to compare with).
bench: setup
	cmake --preset bench >/dev/null
	cmake --build --preset bench
	scripts/bench-report --build build/bench

clean:
	rm -rf build
