# SPDX-License-Identifier: GPL-3.0-or-later
# The two commands of the README: `make run` and `make test`.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=

.PHONY: deps configure build run test bench fuzz install deb translations clean

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

# A Debian package without tests, in $(DEB_BUILD), built with Debian's own
# flags: -O2 -g, the stack protector, _FORTIFY_SOURCE, relro and bindnow.
# The build type None adds no flags of CMake's own; the flags are given on
# every run, so that a build folder configured before takes them too.
DEB_BUILD ?= build-deb
DEB_BUILDFLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags
deb: deps
	cmake -S . -B $(DEB_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=None -DBUILD_TESTING=OFF \
		-DCMAKE_INSTALL_PREFIX=/usr \
		-DCMAKE_CXX_FLAGS="$$($(DEB_BUILDFLAGS) --get CPPFLAGS) $$($(DEB_BUILDFLAGS) --get CXXFLAGS)" \
		-DCMAKE_EXE_LINKER_FLAGS="$$($(DEB_BUILDFLAGS) --get LDFLAGS)" \
		-DCMAKE_MODULE_LINKER_FLAGS="$$($(DEB_BUILDFLAGS) --get LDFLAGS)" \
		$(CMAKE_FLAGS)
	cmake --build $(DEB_BUILD)
	cd $(DEB_BUILD) && cpack -G DEB

# Brings translations/lumidot_en.ts up to date with the texts in the sources.
translations: configure
	cmake --build $(BUILD) --target update_translations

clean:
	rm -rf $(BUILD)
