# Zorbit Volley: the two set-up commands and a few conveniences.
#   make play   install dependencies, build everything, start the game
#   make test   install dependencies, build everything, run every test
#   make deb    build the Debian packages (Release, hardened, stripped) into build-deb/
#               (make test builds its plain suite in that same tree and packs it too)
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: play test bench deps configure build sanitize sanitize-build fuzz fuzz-check soak clean \
	deb deb-check test-deps test-build test-plain test-deb test-asan-build test-sanitize \
	test-fuzz-build test-fuzz sanitize-only sanitize-build-only fuzz-only fuzz-check-only

play: build
	cd $(BUILD) && ./zorbit-volley

# Everything in one go, in phases that overlap so both cores stay busy:
#   1. the packages the build needs; then the Release tree with Debian's flags (build-deb),
#      test suite and benchmarks included, while the rest of the packages install;
#   2. the plain suite on that tree, while the Debian packages are made from it and checked
#      by lintian, and the sanitizer tree (build-asan) compiles;
#   3. the same suite under the sanitizers, while the fuzz targets compile (clang,
#      build-fuzz) and then run for FUZZ_SECONDS each on their seed corpora.
# Compiling, packing and fuzzing run at low priority (nice), so the suites, whose player
# scenarios run against the clock, get the processor first. Each phase's output comes as
# one block when it ends; the phases' times close the run.
DEB_BUILD ?= build-deb
PHASE_TIMES = $(DEB_BUILD)/phase-times.txt
PHASE = PHASE_TIMES=$(CURDIR)/$(PHASE_TIMES) scripts/phase
test:
	@mkdir -p $(DEB_BUILD) && rm -f $(PHASE_TIMES)
	@$(PHASE) "build dependencies" scripts/install-deps --build
	@$(MAKE) --no-print-directory -j4 --output-sync=target test-plain test-deb test-sanitize \
		test-fuzz || { echo "make test failed; the phases that ended:"; cat $(PHASE_TIMES); \
		exit 1; }
	@echo "make test passed; the phases took:" && cat $(PHASE_TIMES)

test-deps:
	@$(PHASE) "other dependencies" scripts/install-deps

test-build:
	@$(PHASE) "release build" env CMAKE_FLAGS="$(CMAKE_FLAGS)" \
		scripts/build-deb --tests --no-pack $(DEB_BUILD)

test-plain: test-build test-deps
	@$(PHASE) "plain suite" ctest --test-dir $(DEB_BUILD) --output-on-failure -j $(JOBS)

test-deb: test-build test-deps
	@$(PHASE) "packages and lintian" nice scripts/build-deb --lint $(DEB_BUILD)

test-asan-build: test-build
	@$(PHASE) "sanitizer build" nice $(MAKE) --no-print-directory sanitize-build-only

test-sanitize: test-asan-build test-plain
	@$(PHASE) "sanitizer suite" $(MAKE) --no-print-directory sanitize-only

test-fuzz-build: test-asan-build test-deps
	@$(PHASE) "fuzz build" nice $(MAKE) --no-print-directory fuzz-only

test-fuzz: test-fuzz-build
	@$(PHASE) "fuzzing" nice $(MAKE) --no-print-directory fuzz-check-only

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

# The sanitizer and fuzz trees only run checks: line tables instead of full debug information
# still give their reports file and line, and compile about a third faster.
CHECK_TREE_FLAGS = -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
	-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer; leaks fail too.
# (The *-only targets are the same steps without the dependency check, for `make test`.)
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp
sanitize: sanitize-build
	@$(MAKE) --no-print-directory sanitize-only
sanitize-only:
	$(SANITIZER_ENV) ctest --test-dir build-asan --output-on-failure -j $(JOBS)

sanitize-build: deps
	@$(MAKE) --no-print-directory sanitize-build-only
sanitize-build-only:
	@[ -f build-asan/build.ninja ] || cmake -S . -B build-asan -G Ninja -DZV_SANITIZE=ON \
		-DZV_BENCH=OFF $(CHECK_TREE_FLAGS) $(CMAKE_FLAGS)
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
	@$(MAKE) --no-print-directory fuzz-only
fuzz-only:
	@[ -f build-fuzz/build.ninja ] || CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja \
		-DZV_FUZZ=ON -DZV_TESTS=OFF -DZV_BENCH=OFF $(CHECK_TREE_FLAGS) $(CMAKE_FLAGS)
	cmake --build build-fuzz -j $(JOBS) --target fuzzers

# Every fuzz target for FUZZ_SECONDS on a copy of its seed corpus, two at a time.
FUZZ_SECONDS ?= 20
fuzz-check: fuzz
	@$(MAKE) --no-print-directory fuzz-check-only
fuzz-check-only:
	scripts/run-fuzzers build-fuzz $(FUZZ_SECONDS) $(JOBS)

# The Debian packages, zorbit-volley and zorbit-volley-data, in build-deb/.
deb: deps
	scripts/build-deb $(DEB_BUILD)

# The same, then lintian --pedantic on them: any error or warning fails.
deb-check: deps
	scripts/build-deb --lint $(DEB_BUILD)

clean:
	rm -rf $(BUILD) build-asan build-fuzz $(DEB_BUILD)
