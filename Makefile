# Thin wrapper over CMake + Ninja. `make run` and `make test` are the two
# commands a newcomer needs; both install missing packages first.

JOBS      ?= 2
BUILD     ?= build
GENERATOR := -G Ninja
CMAKE_ARGS ?=
# Warnings as errors: ON in CI only (WERROR=ON); every configure says which,
# so a build folder never keeps it from an earlier run.
WERROR    ?= OFF

.PHONY: all deps configure build run test sanitize bench fuzz fuzz-ci package windows install clean

all: build

deps:
	@scripts/install-deps

configure:
	@cmake -S . -B $(BUILD) $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKARN_WERROR=$(WERROR) $(CMAKE_ARGS) >/dev/null

build: deps configure
	@cmake --build $(BUILD) -j$(JOBS)

# Opens the simulator in ./run, a folder seeded once from examples/ (never
# over files already there), so playing never touches the repository's files.
run: build
	@scripts/run-dev $(BUILD)

# Tests labelled heavy (the exact odds against millions of sampled fights)
# are left to CI's Release run.
test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS) -LE heavy

# The whole test suite under ASan + UBSan, the window's tests on Qt's
# offscreen platform; tests labelled heavy are left out.
sanitize: deps
	@cmake -S . -B build-sanitize $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DSKARN_WERROR=$(WERROR) \
	  -DSKARN_SANITIZE=ON -DSKARN_GUI=ON -DSKARN_CLI=ON $(CMAKE_ARGS) >/dev/null
	@cmake --build build-sanitize -j$(JOBS)
	@cd build-sanitize && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS) -LE heavy

bench: deps
	@cmake -S . -B build-bench $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DSKARN_WERROR=$(WERROR) \
	  -DSKARN_BENCH=ON -DSKARN_TESTS=OFF -DSKARN_CLI=OFF >/dev/null
	@cmake --build build-bench -j$(JOBS)
	@scripts/bench build-bench

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKARN_WERROR=$(WERROR) \
	  -DSKARN_FUZZ=ON -DSKARN_TESTS=OFF -DSKARN_GUI=OFF -DSKARN_CLI=ON >/dev/null
	@cmake --build build-fuzz -j$(JOBS)
	@scripts/fuzz build-fuzz $(FUZZ_SECONDS)

# The Debian package, built as Debian builds its packages (scripts/build-package:
# Release with the distribution's hardening flags) in build-package/.
package: deps
	@JOBS=$(JOBS) scripts/build-package build-package

# skarn-cli for Windows, cross-built with MinGW-w64 (scripts/build-windows:
# build-windows/skarn-cli-VERSION-windows-x86_64.zip), and the tests of the
# core, the analysis engine and skarn-cli run under Wine.
windows:
	@scripts/install-deps windows
	@JOBS=$(JOBS) scripts/build-windows --test build-windows -DSKARN_WERROR=$(WERROR) $(CMAKE_ARGS)

install: build
	@cmake --install $(BUILD)

clean:
	rm -rf build build-sanitize build-bench build-fuzz build-fuzz-cov build-package build-ci-gcc build-ci-clang \
	  build-windows build-ci-windows
