# SPDX-License-Identifier: GPL-3.0-or-later
# The two commands of the README: `make run` and `make test`.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=

.PHONY: deps configure build run test bench fuzz install deb clean

deps:
	bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD)

# Only the two programs: no tests, no benchmarks.
run: configure
	cmake --build $(BUILD) --target lumidot lumidot-convert
	./$(BUILD)/src/lumidot

test: build
	bash scripts/run-tests.sh $(BUILD)

bench: build
	bash scripts/run-benchmarks.sh $(BUILD)

# The readers' libFuzzer targets (clang), each run for FUZZ_SECONDS on a
# corpus seeded from our own exports; outside the normal build.
FUZZ_SECONDS ?= 60
fuzz:
	bash scripts/install-deps.sh --fuzz
	$(MAKE) -C fuzz run FUZZ_SECONDS=$(FUZZ_SECONDS) OUT=$(CURDIR)/build-fuzz

# Installs under PREFIX (and DESTDIR, for staging), as GNU conventions have it.
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# A Debian package of a Release build without tests, in $(DEB_BUILD).
DEB_BUILD ?= build-deb
deb: deps
	cmake -S . -B $(DEB_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
		-DCMAKE_INSTALL_PREFIX=/usr $(CMAKE_FLAGS)
	cmake --build $(DEB_BUILD)
	cd $(DEB_BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD)
