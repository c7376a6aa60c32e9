# The two commands of the README: `make run` and `make test`.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=

.PHONY: deps configure build run test bench fuzz clean

deps:
	bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD)

run: build
	./$(BUILD)/src/lumidot

test: build
	bash scripts/run-tests.sh $(BUILD)

bench: build
	bash scripts/run-benchmarks.sh $(BUILD)

# The readers' libFuzzer targets (clang), each run for FUZZ_SECONDS on a
# corpus seeded from our own exports; outside the normal build.
FUZZ_SECONDS ?= 60
fuzz: deps
	$(MAKE) -C fuzz run FUZZ_SECONDS=$(FUZZ_SECONDS) OUT=$(CURDIR)/build-fuzz

clean:
	rm -rf $(BUILD)
