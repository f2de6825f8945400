# Front door. `make test` installs what is missing, builds both presets and
# runs every test; `make run` opens the viewer on the sample documents.
.PHONY: all setup native windows test test-native test-windows run clean

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

clean:
	rm -rf build
