# The two everyday commands: `make run` (build the demo and start it; without a
# display it saves build/screenshot.png) and `make test` (install what is
# missing, build everything, run every test). For the developer: `make build`,
# `make windows` (build-windows/lightmap.exe), `make web` (build-web/, the
# page), `make serve` (the page on 127.0.0.1), `make test-debian12` and
# `make test-debian13` (make test in a fresh root), `make bench` (DOCS=1 also
# refreshes docs/benchmarks.md), `make fuzz` (FUZZ_SECONDS, default 600),
# `make memcheck`, `make sanitize`, `make clean`.
SHELL := /bin/bash
BUILD ?= build
SANITIZE_BUILD ?= build-asan
WINDOWS_BUILD ?= build-windows
WEB_BUILD ?= build-web
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
BENCH_TARGETS = $(DEMO_TARGETS) baseline first_frame startup_bench page_load
# Emscripten's tools run on Debian's python3 and find their node modules there,
# whatever python3 and node come first on the PATH.
EMSCRIPTEN_ENV = EMSDK_PYTHON=/usr/bin/python3 NODE_PATH=/usr/share/nodejs
# The tests' native build, told where the Windows and web builds are.
NATIVE_FLAGS = -DLIGHTMAP_WINDOWS_EXE=$(CURDIR)/$(WINDOWS_BUILD)/lightmap.exe \
  -DLIGHTMAP_WEB_BUILD=$(CURDIR)/$(WEB_BUILD)
# Warnings are errors in every build that `make test` makes.
WERROR =
test: WERROR = -DLIGHTMAP_WERROR=ON

.PHONY: run build test test-debian12 test-debian13 bench memcheck sanitize-build sanitize fuzz fuzz-smoke windows web serve clean

# A cross build's images come from a native make_images, built in a corner of
# its folder.
define host-make-images
	@scripts/quietly cmake -S . -B $(1)/host -DBUILD_TESTING=OFF -DLIGHTMAP_BENCH=OFF
	@scripts/quietly cmake --build $(1)/host --target make_images
endef

# Warnings stay warnings here: a newer compiler must not keep anyone from the demo.
run:
	@scripts/install-deps run
	@scripts/quietly cmake -S . -B $(BUILD)
	@scripts/quietly cmake --build $(BUILD) -j $(JOBS) --target $(DEMO_TARGETS)
	@scripts/run-demo $(BUILD)

# Everything, with warnings as errors; the tests run the Windows and web builds
# too, so all that any of them needs is installed before anything is configured.
build:
	@scripts/install-deps run test windows web
	@scripts/quietly cmake -S . -B $(BUILD) -DLIGHTMAP_WERROR=ON $(NATIVE_FLAGS)
	@scripts/quietly cmake --build $(BUILD) -j $(JOBS)

# The sanitizer and fuzz runs go first so that CTest's summary closes the output.
# Every test that needs a display starts an X server of its own.
test: build sanitize fuzz-smoke windows web
	@ctest --test-dir $(BUILD) -j $(JOBS) --output-on-failure --no-tests=error --timeout 300

# Start-up time, memory and reader cost on this machine, and the page's download
# and first frame, into $(BUILD)/benchmarks.md.
bench: web
	@scripts/install-deps run test bench
	@scripts/quietly cmake -S . -B $(BUILD) $(NATIVE_FLAGS)
	@scripts/quietly cmake --build $(BUILD) -j $(JOBS) --target $(BENCH_TARGETS)
	@scripts/bench $(BUILD) $(WEB_BUILD) $(if $(DOCS),docs/benchmarks.md)

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
	$(call host-make-images,$(WINDOWS_BUILD))
	@scripts/windows-freeglut $(WINDOWS_BUILD)/freeglut
	@scripts/quietly cmake -S . -B $(WINDOWS_BUILD) $(WERROR) \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-ucrt.cmake -DBUILD_TESTING=OFF -DLIGHTMAP_BENCH=OFF \
	  -DLIGHTMAP_WINDOWS_PREFIX=$(CURDIR)/$(WINDOWS_BUILD)/freeglut/install \
	  -DLIGHTMAP_MAKE_IMAGES=$(CURDIR)/$(WINDOWS_BUILD)/host/make_images
	@scripts/quietly cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	@echo $(WINDOWS_BUILD)/lightmap.exe

# The page for the browser: the same sources through Emscripten, the images as
# a data package of their own. The folder works from any static file server.
web:
	@scripts/install-deps run web
	$(call host-make-images,$(WEB_BUILD))
	@$(EMSCRIPTEN_ENV) scripts/quietly emcmake cmake -S . -B $(WEB_BUILD) $(WERROR) \
	  -DCMAKE_BUILD_TYPE=Release -DLIGHTMAP_MAKE_IMAGES=$(CURDIR)/$(WEB_BUILD)/host/make_images
	@$(EMSCRIPTEN_ENV) scripts/quietly cmake --build $(WEB_BUILD) -j $(JOBS)
	@echo $(WEB_BUILD)/index.html

# The page on a free port of 127.0.0.1, until Ctrl-C; the server prints the address.
serve: web
	@/usr/bin/python3 -u -m http.server --bind 127.0.0.1 --directory $(WEB_BUILD) 0

# `make test` as a new user meets it: in a fresh minimal Debian 12 or 13 root, on
# a fresh clone of the current commit (scripts/in-debian).
test-debian12 test-debian13:
	@scripts/install-deps debian
	@scripts/in-debian $(subst test-debian,,$@) make test

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(WINDOWS_BUILD) $(WEB_BUILD)
