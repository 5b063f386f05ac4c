# The two everyday commands are `make run` and `make test`; see README.md for the rest.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
# ccache keeps rebuilds of unchanged sources cheap across build folders and clones.
LAUNCHER = $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
export CCACHE_BASEDIR = $(CURDIR)
CMAKE_NATIVE = cmake -S . -G "Unix Makefiles" $(LAUNCHER)
WIN_TOOLCHAIN = -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake
# The builds that `make test` runs fail on a warning in our own code.
STRICT = -DCORVANTILE_WERROR=ON

.PHONY: all bootstrap native asan tsan scalar fuzz win check test test-native test-win run bench dist clean

all: native win

bootstrap:
	@scripts/bootstrap.sh

native: bootstrap
	$(CMAKE_NATIVE) -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo $(STRICT) >/dev/null
	cmake --build build/native -j$(JOBS)

asan: bootstrap
	$(CMAKE_NATIVE) -B build/asan -DCMAKE_BUILD_TYPE=Debug -DCORVANTILE_SANITIZE=address $(STRICT) >/dev/null
	cmake --build build/asan -j$(JOBS)

tsan: bootstrap
	$(CMAKE_NATIVE) -B build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANTILE_SANITIZE=thread $(STRICT) >/dev/null
	cmake --build build/tsan -j$(JOBS)

# The engine with its scalar loops in place of the SSE2 ones.
scalar: bootstrap
	$(CMAKE_NATIVE) -B build/scalar -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANTILE_NO_SIMD=ON $(STRICT) >/dev/null
	cmake --build build/scalar -j$(JOBS)

fuzz: bootstrap
	CC=clang CXX=clang++ $(CMAKE_NATIVE) -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANTILE_FUZZ=ON >/dev/null
	cmake --build build/fuzz -j$(JOBS)

win: bootstrap
	cmake -S . -B build/win $(WIN_TOOLCHAIN) $(LAUNCHER) -DCMAKE_BUILD_TYPE=Release $(STRICT) >/dev/null
	cmake --build build/win -j$(JOBS)

# Checks of the sources themselves: formatting, and no 8-bit Win32 text calls.
check: bootstrap
	scripts/check-format.sh
	scripts/check-win32-text.sh

test-native: native asan tsan scalar fuzz
	ctest --test-dir build/native --output-on-failure -j$(JOBS)
	ctest --test-dir build/scalar --output-on-failure -j$(JOBS)
	ctest --test-dir build/asan --output-on-failure -j$(JOBS)
	ASAN_OPTIONS= TSAN_OPTIONS="halt_on_error=1" ctest --test-dir build/tsan --output-on-failure -j$(JOBS)
	ctest --test-dir build/fuzz --output-on-failure

test-win: win
	scripts/with-display.sh ctest --test-dir build/win --output-on-failure

test: check test-native test-win

run: win
	scripts/run.sh build/win/src/Corvantile.exe

bench: native win
	build/native/bench/engine_bench --benchmark_min_time=0.2
	bench/compare_fzf.sh build/native/src/filter/corvantile-filter
	scripts/with-display.sh bench/program_timing.sh build/win/src/Corvantile.exe
	CORVANTILE_BENCH_FILES=1000000 scripts/with-display.sh bench/program_timing.sh build/win/src/Corvantile.exe

dist: win
	scripts/dist.sh build/win/src/Corvantile.exe

clean:
	rm -rf build dist
