# The two commands of the README, and the harness around them.
BUILD ?= build
JOBS ?= 2
CMAKE_FLAGS ?=

.PHONY: all setup configure build test run bench fuzz sanitize screenshot clean

all: build

setup:
	@bash scripts/setup

configure: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

run: build
	@bash scripts/run-editor $(BUILD)

clean:
	rm -rf $(BUILD) build-bench build-fuzz build-asan
