# The two commands a newcomer needs are `make run` and `make test`; both install what is missing.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build run screenshots screenshots-check test bench sanitize clang fuzz format clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@scripts/configure default

build: configure
	@cmake --build --preset default -j $(JOBS)

# With a display the simulated Mac opens in a window; without one the tour plays headless and its
# screenshots are written. Builds only what it runs.
run: configure
	@cmake --build --preset default -j $(JOBS) --target velmor-tray velmor-defaults
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
		./build/bin/velmor-tray $(ARGS); \
	else \
		./build/bin/velmor-tray --headless $(ARGS) && \
		./build/bin/velmor-tray --screenshots build/screenshots >/dev/null && \
		echo "No display: the screenshots of this tour are in build/screenshots/"; \
	fi

# Regenerates the pictures in docs/screenshots (the README shows them).
screenshots: configure
	@cmake --build --preset default -j $(JOBS) --target velmor-tray velmor-defaults
	@rm -rf docs/screenshots
	@./build/bin/velmor-tray --screenshots docs/screenshots

# Draws the pictures again and compares them pixel by pixel with docs/screenshots (a refactoring
# must change none).
screenshots-check: configure
	@cmake --build --preset default -j $(JOBS) --target velmor-tray velmor-defaults
	@rm -rf build/screenshots-check
	@./build/bin/velmor-tray --screenshots build/screenshots-check >/dev/null
	@scripts/compare-screenshots docs/screenshots build/screenshots-check

# The windows' tests also run on an X server: Xvfb is started when DISPLAY is unset.
test: build
	@scripts/with-display ctest --preset default

bench: deps
	@scripts/configure default
	@cmake --build --preset default -j $(JOBS) --target benchmarks
	@for b in build/bench/*_bench; do echo "== $$b"; $$b --benchmark_min_time=0.2 || exit 1; done

sanitize: deps
	@scripts/configure sanitize
	@cmake --build --preset sanitize -j $(JOBS)
	@scripts/with-display ctest --preset sanitize

# The same tests built with clang.
clang: deps
	@scripts/configure clang
	@cmake --build --preset clang -j $(JOBS) --target all benchmarks
	@ctest --preset clang

# libFuzzer over every parser of untrusted input, FUZZ_SECONDS (default 60) per harness.
fuzz: deps
	@JOBS=$(JOBS) scripts/fuzz

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf build build-sanitize build-release build-clang build-fuzz build-logs
