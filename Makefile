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

# What goes to the root of a medium, and one zip of it. The sample
# translation keeps the sample medium's lines for the menu's own texts.
DIST_FILES := wizard.exe Online.dll filemove.avi translat.ini
DIST_KEYS  := Font|Vantrell Installation Wizard|Vantrell Installation Wizard was unable to start|Error|Choose an option by clicking on it
dist: setup win32
	@grep -aE '^(;|\[|[[:space:]]*$$|($(DIST_KEYS))=)' examples/medium/translat.ini > build/dist/translat.ini
	@cd build/dist && rm -f vantrell-wizard.zip && zip -q -X vantrell-wizard.zip $(DIST_FILES)
	@cd build/dist && ls -l $(DIST_FILES) vantrell-wizard.zip

demo: setup win32
	tools/demo

bench: setup host win32
	tools/bench

clean:
	rm -rf build/host build/win32 build/dist
