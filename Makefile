# Quick start: `make run` builds and starts Tavanote, `make test` builds and runs every test headless.
BUILD ?= build
JOBS ?= $(shell nproc)
PREFIX ?= $(HOME)/.local
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1

.PHONY: all setup configure build run test install uninstall deb bench format clean

all: build

setup:
	@bash scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@$(BUILD)/tavanote

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

install: build
	@cmake --install $(BUILD) --prefix "$(PREFIX)"

# tavanote_<version>_<arch>.deb in the build folder: the program system-wide, each user's messages in their home.
deb: build
	@cd $(BUILD) && cpack -G DEB

uninstall:
	@cmake -DMANIFEST=$(BUILD)/install_manifest.txt -P cmake/Uninstall.cmake

bench: configure
	@cmake --build $(BUILD) -j $(JOBS) --target benchmarks

format:
	@find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD)
