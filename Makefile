# Two commands set everything up on a fresh Debian 12 machine:
#   make run   installs missing packages, builds and starts the program
#   make test  the same set-up, then every test, headless
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test bench install deb clean

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

# Installs under PREFIX (/usr/local unless given); DESTDIR stages as usual.
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# A Debian package of the same files, written to $(BUILD)/.
deb: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD)
