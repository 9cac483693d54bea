# The two commands that matter: `make run` and `make test` (see README.md).
BUILD      ?= build
BUILD_TYPE ?= RelWithDebInfo
SANITIZE   ?= 0
JOBS       ?= $(shell nproc)
ARGS       ?=

ifeq ($(SANITIZE),1)
  BUILD := build-asan
  CMAKE_EXTRA := -DQUARN_SANITIZE=ON
endif

PREFIX     ?=

.PHONY: all deps configure build run test install package bench fuzz format clean

all: build

deps:
	@./scripts/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_EXTRA)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# Plays the demo game from the build folder, where Data.acv is packed.
run: build
	cd $(BUILD) && ./quarn $(ARGS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) $(ARGS)

# Installs the game, its data, tools, desktop entry, icons and manual page (PREFIX=/usr/local
# by default).
install: build
	cmake --install $(BUILD) $(if $(PREFIX),--prefix $(PREFIX))

# A Debian package of the same files under /usr: $(BUILD)/quarn_VERSION_ARCH.deb.
package: build
	@./scripts/install-deps.sh --package
	cd $(BUILD) && cpack -G DEB

bench: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUARN_BENCH=ON -DQUARN_TESTS=OFF
	cmake --build build-bench -j $(JOBS) --target benchmarks
	./scripts/run-benchmarks.sh build-bench

FUZZ_SECONDS ?= 60
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARN_FUZZ=ON -DQUARN_TESTS=OFF
	cmake --build build-fuzz -j $(JOBS) --target fuzzers
	./scripts/run-fuzzers.sh build-fuzz $(FUZZ_SECONDS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan build-bench build-fuzz
