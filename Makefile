# The two commands a newcomer types are `make demo` and `make test`; both set the machine up first.
.PHONY: help setup build test demo dist fuzz clean

JOBS ?= $(shell nproc)

help:
	@echo 'make demo    build everything and verify a small tree against a copy with differences'
	@echo 'make test    build everything and run every test (unit, simulated machine, under Wine)'
	@echo 'make dist    build dist/morvi-<version>.zip: morvi.exe, its manual, a sample morvi.cfg'
	@echo 'make build   build without testing (build/host, build/asan, build/host32, build/win32, build/win64)'
	@echo 'make setup   install what is missing and create the Wine prefix (the others run it first)'
	@echo 'make fuzz    run each fuzz target for FUZZ_SECONDS (default 30)'
	@echo 'make clean   remove build/ and dist/'

setup:
	@scripts/setup

build: setup
	@cmake -S . -B build/host -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build build/host -j $(JOBS)
	@cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DMORVI_SANITIZE=ON >/dev/null
	@cmake --build build/asan -j $(JOBS)
	@cmake -S . -B build/host32 -G Ninja -DCMAKE_BUILD_TYPE= -DCMAKE_TOOLCHAIN_FILE=cmake/host-i686.cmake --no-warn-unused-cli >/dev/null
	@cmake --build build/host32 -j $(JOBS)
	@cmake -S . -B build/win32 -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake --no-warn-unused-cli >/dev/null
	@cmake --build build/win32 -j $(JOBS)
	@cmake -S . -B build/win64 -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake --no-warn-unused-cli >/dev/null
	@cmake --build build/win64 -j $(JOBS)

# Leaks are not checked: what lives until the process ends is released by the exit. The
# product's own arithmetic is tested twice: the unit tests built by its compiler run under
# Wine, and the host layers run again as 32-bit x87 code.
test: build
	@cd build/host && ctest -j $(JOBS) --output-on-failure
	@cd build/asan && ASAN_OPTIONS=detect_leaks=0 ctest -j $(JOBS) --output-on-failure
	@if [ "$$(bash -c '. scripts/wine-env && echo $$MORVI_BITS')" = 32 ]; then \
	    cd build/host32 && ctest -j $(JOBS) --output-on-failure; \
	else echo "test: this machine runs no 32-bit code; build/host32 is not run"; fi
	@cd build/win32 && ctest --output-on-failure

# Each fuzz target runs FUZZ_SECONDS over its committed seeds; what it finds stays in
# build/fuzz/corpus, crashes land in build/fuzz/artifacts.
FUZZ_SECONDS ?= 30
FUZZ_TARGETS = $(basename $(notdir $(filter-out fuzz/fuzz_support.h,$(wildcard fuzz/*.cpp))))

fuzz:
	@cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DMORVI_FUZZ=ON >/dev/null
	@cmake --build build/fuzz -j $(JOBS)
	@mkdir -p build/fuzz/artifacts
	@for target in $(FUZZ_TARGETS); do \
	    mkdir -p build/fuzz/corpus/$$target; \
	    build/fuzz/fuzz_$$target -max_total_time=$(FUZZ_SECONDS) -timeout=10 -close_fd_mask=3 \
	        -artifact_prefix=build/fuzz/artifacts/$$target- \
	        build/fuzz/corpus/$$target fuzz/corpus/$$target 2>build/fuzz/$$target.log \
	        || { tail -n 60 build/fuzz/$$target.log; echo "fuzz: $$target FAILED"; exit 1; }; \
	    echo "fuzz: $$target $$(grep -o 'Done [0-9]* runs' build/fuzz/$$target.log)"; \
	done

demo: build
	@scripts/demo

# The same sources give the same zip, byte for byte.
dist: setup
	@scripts/dist

clean:
	rm -rf build dist
