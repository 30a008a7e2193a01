# The two commands a newcomer needs are `make run` and `make test`; both install what is missing.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps configure build run test bench sanitize clang fuzz format clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake --preset default >/dev/null

build: configure
	@cmake --build --preset default -j $(JOBS)

run: build
	@./build/bin/velmor-tray --headless $(ARGS)

test: build
	@ctest --preset default

bench: deps
	@cmake --preset default >/dev/null
	@cmake --build --preset default -j $(JOBS) --target benchmarks
	@for b in build/bench/*_bench; do echo "== $$b"; $$b --benchmark_min_time=0.2 || exit 1; done

sanitize: deps
	@cmake --preset sanitize >/dev/null
	@cmake --build --preset sanitize -j $(JOBS)
	@ctest --preset sanitize

# The same tests built with clang.
clang: deps
	@cmake --preset clang >/dev/null
	@cmake --build --preset clang -j $(JOBS)
	@ctest --preset clang

# libFuzzer over every parser of untrusted input, FUZZ_SECONDS (default 60) per harness.
fuzz: deps
	@JOBS=$(JOBS) scripts/fuzz

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf build build-sanitize build-release build-clang build-fuzz
