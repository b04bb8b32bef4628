# Zorbit Volley: the two set-up commands and a few conveniences.
#   make play   install dependencies, build everything, start the game
#   make test   install dependencies, build everything, run every test
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: play test bench deps configure build sanitize fuzz clean

play: build
	cd $(BUILD) && ./zorbit-volley

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

bench: build
	$(BUILD)/zv_bench --benchmark_counters_tabular=true

deps:
	@scripts/install-deps

configure: deps
	@if [ ! -f $(BUILD)/build.ninja ]; then \
		cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS); \
	fi

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	@[ -f build-asan/build.ninja ] || cmake -S . -B build-asan -G Ninja -DZV_SANITIZE=ON -DZV_BENCH=OFF
	cmake --build build-asan -j $(JOBS)
	ctest --test-dir build-asan --output-on-failure -j $(JOBS)

# libFuzzer targets (clang).
fuzz: deps
	@[ -f build-fuzz/build.ninja ] || CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DZV_FUZZ=ON -DZV_TESTS=OFF -DZV_BENCH=OFF
	cmake --build build-fuzz -j $(JOBS)

clean:
	rm -rf $(BUILD) build-asan build-fuzz
