# The two commands of the README, and the harness around them.
BUILD ?= build
JOBS ?= 2
CMAKE_FLAGS ?=

.PHONY: all setup configure build test run install package package-check bench fuzz sanitize clean \
	windows windows-test

all: build

setup:
	@bash scripts/setup

configure: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

# Only the editor: the test programs take most of a first build.
run: configure
	@cmake --build $(BUILD) -j$(JOBS) --target kestrel-editor
	@bash scripts/run-editor $(BUILD)

# PREFIX=~/.local installs for one user; DESTDIR stages for a package.
PREFIX ?= /usr/local
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)
	@if [ -z "$(DESTDIR)" ]; then \
		update-mime-database $(PREFIX)/share/mime 2>/dev/null || true; \
		update-desktop-database $(PREFIX)/share/applications 2>/dev/null || true; \
	fi

# The Debian package $(BUILD)/kestrel-editor_<version>_amd64.deb of what
# make install installs; `scripts/setup package` installs the tools, and
# package-check installs the package here, runs it and removes it (as root).
package: build
	@KESTREL_SETUP_PACKAGE=1 bash scripts/setup
	@cd $(BUILD) && cpack -G DEB

package-check: build
	@bash scripts/package-check $(BUILD)

clean:
	rm -rf $(BUILD) build-bench build-fuzz build-asan build-windows

# The core, kestrel-eqp.exe and their tests cross-built for Windows (no Qt),
# and those tests run under Wine. `scripts/setup windows` installs the tools.
WINDOWS_BUILD ?= build-windows
windows:
	@KESTREL_SETUP_WINDOWS=1 bash scripts/setup
	@cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_BUILD_TYPE=Release \
		-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DKESTREL_BUILD_UI=OFF \
		-DKESTREL_GTEST_SOURCE=/usr/src/googletest $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(WINDOWS_BUILD) -j$(JOBS)

windows-test: build windows
	@bash scripts/windows-test $(BUILD) $(WINDOWS_BUILD)

# Benchmarks: built in their own tree, kept out of `make test`.
bench: setup
	@cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DKESTREL_BUILD_BENCH=ON >/dev/null
	@cmake --build build-bench -j$(JOBS) --target core_bench ui_bench
	@QT_QPA_PLATFORM=offscreen bash scripts/bench build-bench

# Fuzzing with libFuzzer; FUZZ_SECONDS per target.
FUZZ_SECONDS ?= 60
fuzz: setup
	@bash scripts/fuzz $(FUZZ_SECONDS)

# The whole test suite under AddressSanitizer and UBSan.
sanitize: setup
	@cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKESTREL_SANITIZE=ON \
		-DKESTREL_WARNINGS_AS_ERRORS=ON >/dev/null
	@cmake --build build-asan -j$(JOBS)
	@cd build-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 \
		UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest --output-on-failure -j$(JOBS)
