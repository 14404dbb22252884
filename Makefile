# The two everyday commands: `make run` (build the demo and start it; without a
# display it saves build/screenshot.png) and `make test` (install what is
# missing, build everything, run every test). For the developer: `make build`,
# `make windows` (build-windows/lightmap.exe), `make web` (build-web/, the
# page), `make serve` (the page on 127.0.0.1), `make test-debian12` and
# `make test-debian13` (make test in a fresh root), `make figure` (the README's
# figure, docs/figure.png), `make dist` (dist/: the Windows zip, the Debian
# package, the web bundle and SHA256SUMS), `make bench` (DOCS=1 also
# refreshes docs/benchmarks.md), `make fuzz` (FUZZ_SECONDS, default 600),
# `make memcheck`, `make sanitize`, `make clean`. Each build is a CMake preset
# (CMakePresets.json) with a folder of its own: dev (build/), ci (build-ci/),
# asan (build-asan/), release (build-release/, for the package), windows
# (build-windows/) and web (build-web/).
SHELL := /bin/bash
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 600
# All that `make run` builds: the program, its images, and the probe that tells
# the headless screenshot when the first frame is complete.
DEMO_TARGETS = lightmap demo_images glprobe
BENCH_TARGETS = $(DEMO_TARGETS) baseline first_frame startup_bench
# The cross builds' warnings are errors in `make test` only; the value is given
# on every configure, so no later build inherits it.
WERROR = OFF
test: WERROR = ON

.PHONY: run build test test-debian12 test-debian13 bench figure dist memcheck sanitize-build \
  sanitize fuzz windows web serve clean

# A cross build's images come from a native make_images, built in a corner of
# its folder.
define host-make-images
	@scripts/quietly cmake -S . -B $(1)/host -DBUILD_TESTING=OFF -DLIGHTMAP_BENCH=OFF
	@scripts/quietly cmake --build $(1)/host --target make_images
endef

# The dev preset: warnings stay warnings, so a newer compiler keeps nobody from
# the demo, whatever was built before.
run:
	@scripts/install-deps run
	@scripts/quietly cmake --preset dev
	@scripts/quietly cmake --build --preset dev -j $(JOBS) --target $(DEMO_TARGETS)
	@scripts/run-demo build

# The ci preset: everything, warnings as errors. The tests run the Windows and web
# builds too, so all that any of them needs is installed before anything is
# configured.
build:
	@scripts/install-deps run test windows web
	@scripts/quietly cmake --preset ci
	@scripts/quietly cmake --build --preset ci -j $(JOBS)

# The sanitizer build's tests (the reader's, and 30 s of its fuzzer) go first so
# that CTest's summary of the rest closes the output. Every test that needs a
# display runs on an X server of its own; the cases run the three builds and what
# make dist makes of them.
test: build sanitize windows web dist
	@ctest --preset ci -j $(JOBS)

# Start-up time, memory and reader cost on this machine, and the page's download,
# first frame (against a bare page and a floor, bench/floor.js in build-web) and
# responses, into build/benchmarks.md.
bench: web
	@scripts/quietly cmake --build --preset web --target web_floor
	@scripts/install-deps run test bench
	@scripts/quietly cmake --preset dev
	@scripts/quietly cmake --build --preset dev -j $(JOBS) --target $(BENCH_TARGETS)
	@scripts/bench build build-web $(if $(DOCS),docs/benchmarks.md)

# The README's figure, light map × wall = result, from three runs of the program.
figure:
	@scripts/install-deps run figure
	@scripts/quietly cmake --preset dev
	@scripts/quietly cmake --build --preset dev -j $(JOBS) --target $(DEMO_TARGETS)
	@scripts/figure build docs/figure.png

# Only the valgrind run of the whole program (make test runs it too).
memcheck: build
	@ctest --preset ci -L memcheck

# The reader's unit tests and its fuzzer, built by clang with AddressSanitizer
# and UndefinedBehaviorSanitizer: `ctest --preset asan`, the fuzzer for 30 s; a
# failure shows the sanitizer's whole report, and the input that broke the reader
# is kept in build-asan/fuzz/.
sanitize-build:
	@scripts/install-deps run test
	@scripts/quietly cmake --preset asan
	@scripts/quietly cmake --build --preset asan -j $(JOBS)

sanitize: sanitize-build
	@ctest --preset asan -j $(JOBS)

fuzz: sanitize-build
	@LIGHTMAP_FUZZ_SECONDS=$(FUZZ_SECONDS) ctest --preset asan -L fuzz

# lightmap.exe for 64-bit Windows, with the demo's images beside it: MinGW-w64
# against the UCRT, freeglut built once from Debian's source into the same
# folder, and the images made by a native make_images built in a corner of it.
windows:
	@scripts/install-deps run windows
	$(call host-make-images,build-windows)
	@scripts/windows-freeglut build-windows/freeglut
	@scripts/quietly cmake --preset windows -DCMAKE_COMPILE_WARNING_AS_ERROR=$(WERROR)
	@scripts/quietly cmake --build --preset windows -j $(JOBS)
	@echo build-windows/lightmap.exe

# The page for the browser: the same sources through Emscripten, the images as
# a data package of their own. The folder works from any static file server.
web:
	@scripts/install-deps run web
	$(call host-make-images,build-web)
	@scripts/quietly cmake --preset web -DCMAKE_COMPILE_WARNING_AS_ERROR=$(WERROR)
	@scripts/quietly cmake --build --preset web -j $(JOBS)
	@echo build-web/index.html

# The page on a free port of 127.0.0.1, until Ctrl-C; the server prints the address.
serve: web
	@/usr/bin/python3 -u -m http.server --bind 127.0.0.1 --directory build-web 0

# dist/: the Windows zip, the Debian package and the web bundle, named with the
# project's version, and SHA256SUMS; lintian must find no error in the package.
dist: windows web
	@scripts/install-deps run dist
	@scripts/quietly cmake --preset release
	@scripts/quietly cmake --build --preset release -j $(JOBS)
	@rm -rf dist
	@for preset in deb windows web; do scripts/quietly cpack --preset $$preset || exit 1; done
	@rm -rf dist/_CPack_Packages
	@cd dist && sha256sum lightmap* >SHA256SUMS && ls -l lightmap* SHA256SUMS
	@lintian --fail-on error dist/lightmap_*.deb

# `make test` as a new user meets it: in a fresh minimal Debian 12 or 13 root, on
# a fresh clone of the current commit (scripts/in-debian); then, in another fresh
# root, the Debian package of dist/ installed alone and started from /tmp.
test-debian12 test-debian13: dist
	@scripts/install-deps debian
	@scripts/in-debian $(subst test-debian,,$@) make test
	@LIGHTMAP_DEBIAN_CARRY=dist scripts/in-debian $(subst test-debian,,$@) \
	  scripts/check-installed $(wildcard dist/lightmap_*_amd64.deb)

clean:
	rm -rf build build-ci build-asan build-release build-windows build-web dist
