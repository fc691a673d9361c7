# The two commands of the README:
#   make run    installs what is missing, builds, and starts the program
#   make test   installs what is missing, builds, and runs every test
MAKEFLAGS += --no-print-directory
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: setup configure build run test bench sanitize clean

setup:
	@bash scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600

bench: setup
	@cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release
	@cmake --build build-bench -j $(JOBS)
	@bash scripts/bench.sh build-bench

# The model's tests under AddressSanitizer and UndefinedBehaviorSanitizer, without Qt.
sanitize: setup
	@cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DRAVU_WITH_QT=OFF -DRAVU_SANITIZE=ON
	@cmake --build build-asan -j $(JOBS)
	@cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS) --timeout 600

clean:
	rm -rf build build-asan build-bench
