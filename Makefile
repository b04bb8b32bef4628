# Zorbit Volley: the two set-up commands and a few conveniences.
#   make play   install dependencies, build everything, start the game
#   make test   install dependencies, build everything, run every test
#   make deb    build the Debian packages (Release, hardened, stripped) into build-deb/
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: play test bench deps configure build sanitize sanitize-build fuzz fuzz-check soak clean \
	deb deb-check

play: build
	cd $(BUILD) && ./zorbit-volley

# The plain suite first, then the same suite under the sanitizers, then a short run of
# every fuzz target on its seed corpus, then the Debian packages built and checked by lintian.
test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory sanitize
	$(MAKE) --no-print-directory fuzz-check
	$(MAKE) --no-print-directory deb-check

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

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer; leaks fail too.
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp
sanitize: sanitize-build
	$(SANITIZER_ENV) ctest --test-dir build-asan --output-on-failure -j $(JOBS)

sanitize-build: deps
	@[ -f build-asan/build.ninja ] || cmake -S . -B build-asan -G Ninja -DZV_SANITIZE=ON -DZV_BENCH=OFF
	$(SANITIZER_ENV) cmake --build build-asan -j $(JOBS)

# The long soak under the sanitizers: a thousand bot games and a hundred thousand random
# input events (the suite runs short versions of both).
SOAK_GAMES ?= 1000
SOAK_EVENTS ?= 100000
soak: sanitize-build
	$(SANITIZER_ENV) ZV_SOAK_GAMES=$(SOAK_GAMES) ZV_SOAK_EVENTS=$(SOAK_EVENTS) \
		ctest --test-dir build-asan -R '^Soak' --output-on-failure --timeout 14400 -j $(JOBS)

# libFuzzer targets (clang).
fuzz: deps
	@[ -f build-fuzz/build.ninja ] || CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DZV_FUZZ=ON -DZV_TESTS=OFF -DZV_BENCH=OFF
	cmake --build build-fuzz -j $(JOBS) --target fuzzers

# Every fuzz target for FUZZ_SECONDS on a copy of its seed corpus, two at a time.
FUZZ_SECONDS ?= 20
fuzz-check: fuzz
	scripts/run-fuzzers build-fuzz $(FUZZ_SECONDS) $(JOBS)

# The Debian packages, zorbit-volley and zorbit-volley-data, in build-deb/.
deb: deps
	scripts/build-deb build-deb

# The same, then lintian --pedantic on them: any error or warning fails.
deb-check: deps
	scripts/build-deb --lint build-deb

clean:
	rm -rf $(BUILD) build-asan build-fuzz build-deb
