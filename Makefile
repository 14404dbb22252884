# The two everyday commands: `make run` and `make test`. Also for the developer:
# `make build`, `make bench`, `make fuzz` (FUZZ_SECONDS, default 600), `make memcheck`,
# `make windows-check`, `make clean`.
SHELL := /bin/bash
BUILD ?= build
SANITIZE_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DLIGHTMAP_WERROR=ON
FUZZ_SECONDS ?= 600
SMOKE_FUZZ_SECONDS ?= 30
SANITIZERS = -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer

.PHONY: all deps configure build run test bench memcheck sanitize fuzz-build fuzz fuzz-smoke windows-check clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-demo $(BUILD)

# The sanitizer and fuzz runs go first so that CTest's summary closes the output.
test: build sanitize fuzz-smoke windows-check
	@scripts/with-xvfb ctest --test-dir $(BUILD) --output-on-failure --timeout 300

# Start-up time, memory and reader cost on this machine; kept in docs/benchmarks.md.
bench: build
	@scripts/bench $(BUILD)

# Only the valgrind run of the whole program (make test runs it too).
memcheck: build
	@scripts/with-xvfb ctest --test-dir $(BUILD) -L memcheck --output-on-failure --timeout 300

# The reader's unit tests under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_C_COMPILER=clang "-DCMAKE_CXX_FLAGS=$(SANITIZERS)" $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS) --target unit_tests
	@$(SANITIZE_BUILD)/tests/unit_tests --gtest_brief=1

fuzz-build: deps
	@mkdir -p $(FUZZ_BUILD)/corpus
	@clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -I. \
	  texture/bmp_reader.cpp tests/fuzz/bmp_reader_fuzz.cpp -o $(FUZZ_BUILD)/bmp_reader_fuzz

fuzz: fuzz-build
	$(FUZZ_BUILD)/bmp_reader_fuzz -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	  $(FUZZ_BUILD)/corpus tests/fuzz/seeds

fuzz-smoke: fuzz-build
	@$(FUZZ_BUILD)/bmp_reader_fuzz -max_total_time=$(SMOKE_FUZZ_SECONDS) -print_final_stats=1 \
	  $(FUZZ_BUILD)/corpus tests/fuzz/seeds 2>&1 | grep -E 'stat::number_of_executed_units|ERROR|SUMMARY' ; \
	  exit $${PIPESTATUS[0]}

# Every translation unit of the program compiled for Windows (MinGW-w64).
windows-check: deps
	@scripts/windows-check build-windows

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(FUZZ_BUILD) build-windows
