# SPDX-License-Identifier: GPL-3.0-or-later
# Two commands set everything up on a fresh Debian 12 machine:
#   make run   installs missing packages, builds and starts the program
#   make test  the same set-up, then every test, headless; also the unit and
#              window tests under AddressSanitizer and UndefinedBehaviorSanitizer,
#              and each fuzz target for FUZZ_CI_SECONDS
#   make fuzz  each fuzz target for FUZZ_SECONDS
#   make bench every benchmark, one table of figures (see README)
BUILD ?= build
SANITIZE_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_CI_SECONDS ?= 30
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test sanitize-test fuzz-build fuzz bench install deb clean

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/ardeno-recorder

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory sanitize-test
	$(MAKE) --no-print-directory fuzz FUZZ_SECONDS=$(FUZZ_CI_SECONDS)

# Any sanitizer report fails its test. Leak reports from the libraries we use
# are suppressed in one file, with the reason for each entry.
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp:print_suppressions=0
# Debug: the tests run as fast unoptimised, and build three times faster.
sanitize-test: deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DARDENO_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS)

fuzz-build: deps
	cmake -S tests/fuzz -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

fuzz: fuzz-build
	bash tests/fuzz/run-fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Builds and runs every benchmark and prints one table of figures; on its own
# X server and sound server, so it needs neither. Not part of `make test`.
bench: build
	xvfb-run -a -s "-screen 0 1280x1024x24" python3 bench/run-bench.py $(BUILD)

# Installs under PREFIX (/usr/local unless given); DESTDIR stages as usual.
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# A Debian package of the same files, written to $(BUILD)/.
deb: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD)
