# The two commands a newcomer types are `make demo` and `make test`; both set the machine up first.
.PHONY: setup build test demo clean

JOBS ?= $(shell nproc)

setup:
	@scripts/setup

build: setup
	@cmake -S . -B build/host -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build build/host -j $(JOBS)
	@cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMORVI_SANITIZE=ON >/dev/null
	@cmake --build build/asan -j $(JOBS)
	@cmake -S . -B build/win32 -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
	@cmake --build build/win32 -j $(JOBS)
	@cmake -S . -B build/win64 -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake >/dev/null
	@cmake --build build/win64 -j $(JOBS)

# Leaks are not checked: what lives until the process ends is released by the exit.
test: build
	@cd build/host && ctest -j $(JOBS) --output-on-failure
	@cd build/asan && ASAN_OPTIONS=detect_leaks=0 ctest -j $(JOBS) --output-on-failure

demo: build
	@scripts/demo

clean:
	rm -rf build
