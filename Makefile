# The two everyday commands: `make run` (build the demo and start it; without a
# display it saves build/screenshot.png) and `make test` (install what is
# missing, build everything, run every test). For the developer: `make build`,
# `make windows` (build-windows/lightmap.exe), `make bench` (DOCS=1 also
# refreshes docs/benchmarks.md), `make fuzz` (FUZZ_SECONDS, default 600),
# `make memcheck`, `make sanitize`, `make clean`.
SHELL := /bin/bash
BUILD ?= build
SANITIZE_BUILD ?= build-asan
WINDOWS_BUILD ?= build-windows
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 600
SMOKE_FUZZ_SECONDS ?= 30
SANITIZERS = -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
FUZZ_DIR = $(SANITIZE_BUILD)/fuzz
FUZZ_RUN = mkdir -p $(FUZZ_DIR)/corpus && $(SANITIZE_BUILD)/tests/bmp_reader_fuzz \
  -artifact_prefix=$(FUZZ_DIR)/ -print_final_stats=1 $(FUZZ_DIR)/corpus tests/fuzz/seeds
# All that `make run` builds: the program, its images, and the probe that tells
# the headless screenshot when the first frame is complete.
DEMO_TARGETS = lightmap demo_images glprobe
BENCH_TARGETS = $(DEMO_TARGETS) baseline first_frame startup_bench
# Warnings are errors in every build that `make test` makes.
WERROR =
test: WERROR = -DLIGHTMAP_WERROR=ON

.PHONY: run build test bench memcheck sanitize-build sanitize fuzz fuzz-smoke windows clean

# Warnings stay warnings here: a newer compiler must not keep anyone from the demo.
run:
	@scripts/install-deps run
	@scripts/quietly cmake -S . -B $(BUILD)
	@scripts/quietly cmake --build $(BUILD) -j $(JOBS) --target $(DEMO_TARGETS)
	@scripts/run-demo $(BUILD)

# Everything, with warnings as errors; the tests run the Windows build too.
build:
	@scripts/install-deps run test
	@scripts/quietly cmake -S . -B $(BUILD) -DLIGHTMAP_WERROR=ON \
	  -DLIGHTMAP_WINDOWS_EXE=$(CURDIR)/$(WINDOWS_BUILD)/lightmap.exe
	@scripts/quietly cmake --build $(BUILD) -j $(JOBS)

# The sanitizer and fuzz runs go first so that CTest's summary closes the output.
# Every test that needs a display starts an X server of its own.
test: build sanitize fuzz-smoke windows
	@ctest --test-dir $(BUILD) -j $(JOBS) --output-on-failure --no-tests=error --timeout 300

# Start-up time, memory and reader cost on this machine, into $(BUILD)/benchmarks.md.
bench:
	@scripts/install-deps run bench
	@scripts/quietly cmake -S . -B $(BUILD)
	@scripts/quietly cmake --build $(BUILD) -j $(JOBS) --target $(BENCH_TARGETS)
	@scripts/bench $(BUILD) $(if $(DOCS),docs/benchmarks.md)

# Only the valgrind run of the whole program (make test runs it too).
memcheck: build
	@ctest --test-dir $(BUILD) -L memcheck --output-on-failure --timeout 300

# The reader's unit tests and its fuzzer, built by clang with AddressSanitizer
# and UndefinedBehaviorSanitizer.
sanitize-build:
	@scripts/install-deps run test
	@scripts/quietly cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang "-DCMAKE_CXX_FLAGS=$(SANITIZERS)" \
	  -DLIGHTMAP_WERROR=ON -DLIGHTMAP_BENCH=OFF
	@scripts/quietly cmake --build $(SANITIZE_BUILD) -j $(JOBS) --target unit_tests bmp_reader_fuzz

sanitize: sanitize-build
	@$(SANITIZE_BUILD)/tests/unit_tests --gtest_brief=1

fuzz: sanitize-build
	$(FUZZ_RUN) -max_total_time=$(FUZZ_SECONDS)

# A short run that shows the sanitizer's whole report, and where the input that
# broke the reader was kept, only when it finds something.
fuzz-smoke: sanitize-build
	@$(FUZZ_RUN) -max_total_time=$(SMOKE_FUZZ_SECONDS) >$(FUZZ_DIR)/smoke.log 2>&1 \
	  && grep 'stat::number_of_executed_units' $(FUZZ_DIR)/smoke.log \
	  || { cat $(FUZZ_DIR)/smoke.log; echo "fuzz: the failing input is kept in $(FUZZ_DIR)/"; exit 1; }

# lightmap.exe for 64-bit Windows, with the demo's images beside it: MinGW-w64
# against the UCRT, freeglut built once from Debian's source into the same
# folder, and the images made by a native make_images built in a corner of it.
windows:
	@scripts/install-deps run windows
	@scripts/quietly cmake -S . -B $(WINDOWS_BUILD)/host -DBUILD_TESTING=OFF -DLIGHTMAP_BENCH=OFF
	@scripts/quietly cmake --build $(WINDOWS_BUILD)/host --target make_images
	@scripts/windows-freeglut $(WINDOWS_BUILD)/freeglut
	@scripts/quietly cmake -S . -B $(WINDOWS_BUILD) $(WERROR) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-ucrt.cmake -DBUILD_TESTING=OFF -DLIGHTMAP_BENCH=OFF \
	  -DLIGHTMAP_WINDOWS_PREFIX=$(CURDIR)/$(WINDOWS_BUILD)/freeglut/install \
	  -DLIGHTMAP_MAKE_IMAGES=$(CURDIR)/$(WINDOWS_BUILD)/host/make_images
	@scripts/quietly cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	@echo $(WINDOWS_BUILD)/lightmap.exe

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(WINDOWS_BUILD)
