# make run           builds the game and opens it (needs a display)
# make test          builds everything and runs every test
# make test-headless the game library, quenmar-sim and their tests, built without Qt or X11
# make bench         measures a level-50 tick, a replay's jumps and the running game
# make bench-web     the browser build beside the native one: its tick under node, the page's CPU
# make test-sanitize the tests under AddressSanitizer and UBSan
# make fuzz          the input-script and battle-file fuzzers
# make package       the Debian package, in the build folder
# make web           the same battle for a browser, as static files in build-web/site/
# make serve-web     serves build-web/site/ on 127.0.0.1 and says where
# make test-web      the browser build against the native one, and its page in Chromium
# make format-check  whether the C++ and the JavaScript are as their formatters write them
# make format        formats them so
# Each first installs the Debian packages it needs and the machine lacks.

BUILD_DIR ?= build
MAKEFLAGS += --no-print-directory
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
# CMAKE_FLAGS: more options for every configure (CI: -DQUENMAR_WERROR=ON).
CONFIGURE = cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) >/dev/null

.PHONY: all build run test test-headless test-sanitize fuzz bench bench-web package web serve-web test-web \
	format format-check clean

all: build

# The game and quenmar-sim, without the tests.
build:
	@tools/install-deps.sh run
	@$(CONFIGURE) -DQUENMAR_TESTS=OFF -DQUENMAR_BENCH=OFF
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
		echo "make run: no display found (DISPLAY is not set); Quenmar needs a graphical desktop" >&2; \
		exit 1; \
	fi
	@$(BUILD_DIR)/quenmar

test:
	@tools/install-deps.sh test
	@$(CONFIGURE) -DQUENMAR_TESTS=ON -DQUENMAR_BENCH=OFF
	@cmake --build $(BUILD_DIR) -j $(JOBS)
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# The game below the desktop front end builds and passes its tests, golden
# traces included, on a machine with no Qt and no X11.
HEADLESS_DIR ?= build-headless
test-headless:
	@tools/install-deps.sh headless
	@cmake -S . -B $(HEADLESS_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) \
		-DCMAKE_DISABLE_FIND_PACKAGE_Qt6=TRUE -DCMAKE_DISABLE_FIND_PACKAGE_X11=TRUE >/dev/null
	@cmake --build $(HEADLESS_DIR) -j $(JOBS)
	@cd $(HEADLESS_DIR) && ctest --output-on-failure -j $(JOBS)

# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer.
SANITIZE_DIR ?= build-sanitize
test-sanitize:
	@tools/install-deps.sh test
	@cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUENMAR_SANITIZE=ON \
		-DQUENMAR_TESTS=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(SANITIZE_DIR) -j $(JOBS)
	@cd $(SANITIZE_DIR) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# The input-script and battle-file fuzzers, FUZZ_SECONDS each, from their
# committed seed corpora.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz:
	@tools/install-deps.sh fuzz
	@cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
		-DQUENMAR_FUZZ=ON -DQUENMAR_TESTS=OFF >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target script_fuzz battle_fuzz
	@mkdir -p $(FUZZ_DIR)/corpus $(FUZZ_DIR)/battle-corpus
	@$(FUZZ_DIR)/tests/script_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=2048 -timeout=10 \
		-print_final_stats=1 $(FUZZ_DIR)/corpus tests/fuzz/corpus
	@$(FUZZ_DIR)/tests/battle_fuzz -max_total_time=$(FUZZ_SECONDS) -max_len=4096 -timeout=10 \
		-print_final_stats=1 $(FUZZ_DIR)/battle-corpus tests/fuzz/battle-corpus

package: build
	@tools/install-deps.sh package
	@cd $(BUILD_DIR) && cpack -G DEB

# Benchmarks: one level-50 tick three ways and the mixer's work for a period, a
# fifteen-minute replay's jumps and memory, then the running game on Xvfb, and
# once more with its sound: a minute at level 50 with it, one without; at
# display scale 2; and without reading game pads.
bench:
	@tools/install-deps.sh bench
	@$(CONFIGURE) -DQUENMAR_BENCH=ON
	@cmake --build $(BUILD_DIR) -j $(JOBS)
	@mkdir -p bench/results
	@$(BUILD_DIR)/bench/tick_bench --benchmark_repetitions=9 --benchmark_report_aggregates_only=true \
		--benchmark_out=bench/results/tick.json --benchmark_out_format=json | tee bench/results/tick.txt
	@$(BUILD_DIR)/bench/replay_bench | tee bench/results/replay.txt
	@bench/running.sh $(BUILD_DIR) bench/results/running.txt && cat bench/results/running.txt
	@SOUND=1 RUN_SECONDS=60 bench/running.sh $(BUILD_DIR) bench/results/running-sound.txt && \
		cat bench/results/running-sound.txt
	@SCALE=2 bench/running.sh $(BUILD_DIR) bench/results/running-scale-2.txt && \
		cat bench/results/running-scale-2.txt && \
		PADS=0 bench/running.sh $(BUILD_DIR) bench/results/running-no-pads.txt && \
		cat bench/results/running-no-pads.txt

# The browser build, with Debian's emscripten (whose emcc finds its acorn
# only on NODE_PATH).
WEB_DIR ?= build-web
EMSCRIPTEN_ENV = NODE_PATH=/usr/share/nodejs
web:
	@tools/install-deps.sh web
	@$(EMSCRIPTEN_ENV) emcmake cmake -S . -B $(WEB_DIR) -DCMAKE_BUILD_TYPE=Release \
		-DQUENMAR_TESTS=OFF >/dev/null
	@$(EMSCRIPTEN_ENV) cmake --build $(WEB_DIR) -j $(JOBS)

serve-web: web
	@node tools/serve-web.js $(WEB_DIR)/site

# The browser build beside the native one, in bench/results/web.txt.
bench-web: web
	@tools/install-deps.sh bench test-web
	@$(CONFIGURE) -DQUENMAR_BENCH=ON
	@cmake --build $(BUILD_DIR) -j $(JOBS)
	@mkdir -p bench/results
	@bench/web.sh $(BUILD_DIR) $(WEB_DIR) bench/results/web.txt && cat bench/results/web.txt

# The web tests run from the native build, which they compare the browser's with.
WEB_TEST_DIR ?= build-web-test
test-web: web
	@tools/install-deps.sh test-web
	@cmake -S . -B $(WEB_TEST_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) \
		-DCMAKE_DISABLE_FIND_PACKAGE_Qt6=TRUE -DQUENMAR_WEB_BUILD=$(CURDIR)/$(WEB_DIR) >/dev/null
	@cmake --build $(WEB_TEST_DIR) -j $(JOBS)
	@cd $(WEB_TEST_DIR) && ctest --output-on-failure -j $(JOBS) -L web

# One formatting: clang-format with .clang-format for the C++, and prettier,
# pinned in package.json, with .prettierrc.json for the JavaScript.
CXX_SOURCES = $(shell git ls-files '*.cpp' '*.h')
JS_SOURCES = $(shell git ls-files '*.js' '*.mjs')
PRETTIER = node_modules/.bin/prettier
format-check: node_modules/.installed
	@clang-format --dry-run --Werror $(CXX_SOURCES)
	@$(PRETTIER) --check --log-level warn $(JS_SOURCES)

format: node_modules/.installed
	@clang-format -i $(CXX_SOURCES)
	@$(PRETTIER) --write --log-level warn $(JS_SOURCES)

node_modules/.installed: package-lock.json
	@tools/install-deps.sh format
	@npm ci --no-audit --no-fund --loglevel=error
	@touch $@

clean:
	rm -rf $(BUILD_DIR) $(HEADLESS_DIR) $(SANITIZE_DIR) $(FUZZ_DIR) $(WEB_DIR) $(WEB_TEST_DIR)
