# make run   builds the game and opens it (needs a display)
# make test  builds everything and runs every test
# make bench measures a level-50 tick and the running game
# Both first install whatever Debian packages are missing.

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test bench package clean

all: build

deps:
	@tools/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
		echo "make run: no display found (DISPLAY is not set); Quenmar needs a graphical desktop" >&2; \
		exit 1; \
	fi
	@$(BUILD_DIR)/quenmar

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# A Debian package of the game, in the build folder.
package: build
	@cd $(BUILD_DIR) && cpack -G DEB

# Benchmarks: one level-50 tick three ways, then the running game on Xvfb.
bench: build
	@mkdir -p bench/results
	@$(BUILD_DIR)/bench/tick_bench --benchmark_repetitions=9 --benchmark_report_aggregates_only=true \
		--benchmark_out=bench/results/tick.json --benchmark_out_format=json | tee bench/results/tick.txt
	@bench/running.sh $(BUILD_DIR) bench/results/running.txt && cat bench/results/running.txt

clean:
	rm -rf $(BUILD_DIR)
