# The front door. `make run` runs the main job on the bundled samples;
# `make test` installs what is missing, builds the Linux (plain and sanitized) and Windows presets
# and runs every test; `make fuzz` runs the fuzz targets for a while.
.PHONY: all run gui screenshots test deps native native-asan win64 win32 test-native test-asan \
        test-win64 check-win32 bench fuzz clean

all: native win64 win32

deps:
	@scripts/install-deps.sh

native: deps
	cmake --preset native >/dev/null
	cmake --build --preset native

# The Linux build under AddressSanitizer and UndefinedBehaviorSanitizer; leaks fail the tests.
native-asan: deps
	cmake --preset native-asan >/dev/null
	cmake --build --preset native-asan

win64: deps
	cmake --preset win64 >/dev/null
	cmake --build --preset win64

win32: deps
	cmake --preset win32 >/dev/null
	cmake --build --preset win32

# The search over the bundled samples, with turned, mirrored and negative copies.
run: native
	build/native/duplora-cli find --rotated --flipped --negative samples

# The Windows program under wine, on your display, with the win64 build's wine prefix.
gui: win64
	build/win64/wine-run.sh build/win64/Duplora.exe

# PNG pictures of the windows in build/screenshots/, at 1024 x 768 and 1920 x 1080.
screenshots: win64
	scripts/screenshots.sh

test-native: native
	ctest --preset native

test-asan: native-asan
	ctest --preset native-asan

# The Windows tests run under wine; GUI tests need a display, so Xvfb gives one.
# One wine server serves the whole run, started and warmed first: wine
# programs that start together on a cold server wait for each other, and now
# and then one of them hangs.
test-win64: win64
	xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '\
	  export WINEPREFIX="$$PWD/build/win64/wineprefix"; \
	  build/win64/wine-run.sh cmd /c exit >/dev/null 2>&1; wineserver -p; \
	  ctest --preset win64; status=$$?; wineserver -k; exit $$status'

# The 32-bit release cannot run here (no 32-bit wine); it is built and its imports checked.
check-win32: win32
	tests/check-imports.sh i686-w64-mingw32-objdump build/win32/Duplora.exe build/win32/duplora-cli.exe

test: test-native test-asan test-win64 check-win32

bench: native
	build/native/duplora-bench

# Each libFuzzer target in turn, FUZZ_SECONDS each, from the seeds in tests/fuzz/corpus/.
# What they find is kept in build/fuzz/; a crash stops the run with its input saved there.
FUZZ_SECONDS ?= 60
fuzz: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz
	scripts/run-fuzzers.sh build/fuzz tests/fuzz/corpus $(FUZZ_SECONDS)

clean:
	rm -rf build
