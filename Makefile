# The two everyday commands: `make run` and `make test`. Everything else is here
# for the developer: `make build`, `make bench`, `make fuzz`, `make clean`.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DLIGHTMAP_WERROR=ON

.PHONY: all deps configure build run test clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-demo $(BUILD)

test: build
	@scripts/with-xvfb ctest --test-dir $(BUILD) --output-on-failure --timeout 120

clean:
	rm -rf $(BUILD)
