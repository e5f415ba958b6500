# make run   — build everything, start build/Setup.exe under Wine
# make test  — build everything, run every test (native, win64, win32)
# make bench — build, run the benchmarks
BUILD := build
JOBS  ?= $(shell nproc)

.PHONY: all deps configure build run test bench clean

all: build

deps:
	@scripts/install-host.sh
	@scripts/fetch-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	scripts/run.sh $(BUILD)/Setup.exe

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

bench: build
	scripts/bench.sh $(BUILD)

clean:
	rm -rf $(BUILD)
