# The two commands of the README, and the steps they are made of.
JOBS ?= $(shell nproc)
HOST_BUILD  := build/host
WIN32_BUILD := build/win32

.PHONY: test demo dist bench setup host win32 test-host test-win32 clean

test: setup host win32 test-host test-win32

setup:
	@tools/setup.sh

host:
	@cmake -S . -B $(HOST_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(HOST_BUILD) -j $(JOBS)

win32:
	@cmake -S . -B $(WIN32_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw32.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(WIN32_BUILD) -j $(JOBS)

test-host: host
	cd $(HOST_BUILD) && ctest --output-on-failure -j $(JOBS)

test-win32: win32
	tools/wine-ctest $(WIN32_BUILD) -j $(JOBS)

dist: setup win32
	@ls -l build/dist

demo: setup win32
	tools/demo

bench: setup host win32
	tools/bench

clean:
	rm -rf build/host build/win32 build/dist
