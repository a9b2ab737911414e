# The two commands of the README, and the steps they are made of.
JOBS ?= $(shell nproc)
HOST_BUILD  := build/host
WIN32_BUILD := build/win32
WIN64_BUILD := build/win64
FUZZ_BUILD  := build/fuzz
# The benchmarks' host programs, built without the sanitizers.
BENCH_BUILD := build/bench-host
FUZZ_SECONDS ?= 60
# How long `make test` runs each fuzz target: a smoke run.
FUZZ_SMOKE_SECONDS ?= 4

.PHONY: test demo dist bench bench-host setup host win32 win64 test-host test-win32 fuzz fuzz-build test-fuzz clean

test: setup host win32 test-host test-win32 test-fuzz

setup:
	@tools/dev/setup.sh

host:
	@cmake -S . -B $(HOST_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(HOST_BUILD) -j $(JOBS)

win32:
	@cmake -S . -B $(WIN32_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw32.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(WIN32_BUILD) -j $(JOBS)

# Only for the Windows suites on machines that run no 32-bit code
# (tools/dev/wine-env); nothing of it ships.
win64:
	@cmake -S . -B $(WIN64_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(WIN64_BUILD) -j $(JOBS)

# The libFuzzer targets (tests/fuzz), with clang in a build of their own.
fuzz-build:
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DFUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_targets

# Every target for FUZZ_SECONDS; fails on any finding.
fuzz: setup fuzz-build
	tools/dev/fuzz $(FUZZ_SECONDS)

# A few seconds each: a target that no longer builds or fails at once.
test-fuzz: fuzz-build
	tools/dev/fuzz $(FUZZ_SMOKE_SECONDS)

test-host: host
	cd $(HOST_BUILD) && ctest --output-on-failure -j $(JOBS)

# The suites of the Windows build this machine can run (tools/dev/wine-arch).
# Where that is the 64-bit build, the checks of the 32-bit build that need
# no Wine (label nowine: the shipped files as Windows loads them) run too.
test-win32: win32
	@w=$$(tools/dev/wine-arch); if [ "$$w" = win64 ]; then \
	    echo "test-win32: this machine runs no 32-bit code; the Windows suites run on the 64-bit build,"; \
	    echo "test-win32: the 32-bit build's checks without Wine here"; \
	    (cd $(WIN32_BUILD) && ctest --output-on-failure -L nowine) || exit 1; \
	    $(MAKE) -s win64; fi; \
	tools/dev/wine-ctest build/$$w -j $(JOBS)

# What goes to the root of a medium (resources/shipped.txt), and one zip of
# it. The build makes translat.ini from resources/translat.utf8.ini.
DIST_FILES := $(shell cat resources/shipped.txt)
dist: setup win32
	@cd build/dist && rm -f vantrell-wizard.zip && zip -q -X vantrell-wizard.zip $(DIST_FILES)
	@cd build/dist && ls -l $(DIST_FILES) vantrell-wizard.zip

demo: setup win32
	@[ "$$(tools/dev/wine-arch)" = win32 ] || $(MAKE) -s win64
	tools/dev/demo

bench: setup host win32 bench-host
	@[ "$$(tools/dev/wine-arch)" = win32 ] || $(MAKE) -s win64
	tools/dev/bench

bench-host:
	@cmake -S . -B $(BENCH_BUILD) -DSANITIZE=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BENCH_BUILD) -j $(JOBS) --target scan_bench medium-pack

clean:
	rm -rf build/host build/win32 build/win64 build/dist build/fuzz $(BENCH_BUILD)
