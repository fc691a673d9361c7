# The two commands of the README:
#   make run    installs what is missing, builds, and starts the program
#   make test   installs what is missing, builds, and runs every test
MAKEFLAGS += --no-print-directory
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# WERROR=ON turns compiler warnings into errors (CI does that).
WERROR ?= OFF

.PHONY: setup configure build run test bench sanitize deb format format-check clean

setup:
	@bash scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRAVU_WERROR=$(WERROR) $(CMAKE_FLAGS)

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

# The Debian package ravuone_<version>_<arch>.deb, made by CPack from a
# product build (no tests) in build-deb/.
deb: setup
	@cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF $(CMAKE_FLAGS)
	@cmake --build build-deb -j $(JOBS)
	@cd build-deb && cpack -G DEB
	@ls -l build-deb/ravuone_*.deb

# Everything (model, sockets, windows, whole programs) built with
# AddressSanitizer and UndefinedBehaviorSanitizer, and every test run; the
# programs the tests start as processes inherit the options.  A leak, an
# invalid access or undefined behaviour fails the test it happens in.
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

sanitize: setup
	@cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DRAVU_WITH_QT=ON -DRAVU_SANITIZE=ON -DRAVU_WERROR=$(WERROR) $(CMAKE_FLAGS)
	@cmake --build build-asan -j $(JOBS)
	@cd build-asan && $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS) --timeout 600

# Every C++ file as .clang-format says (format rewrites, format-check only
# reports and fails; CI runs format-check).
format: setup
	@bash scripts/check_format.sh --fix

format-check: setup
	@bash scripts/check_format.sh

clean:
	rm -rf build build-asan build-bench build-deb
