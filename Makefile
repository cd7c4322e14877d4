# Everyday commands; each one does its own set-up on a fresh machine.
BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
DEMO ?= examples/demo/Demo.dpr

.PHONY: all deps configure build run test clean format

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Debug >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The demo's compiler settings come from a registry export written for this checkout.
run: build
	@UNITRACE_REGISTRY=$$(bash scripts/demo-registry.sh $(BUILD)/demo/Delphi5.reg) \
		bash scripts/run-demo.sh $(BUILD) $(DEMO)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)

.PHONY: fuzz
fuzz: deps
	@bash scripts/fuzz.sh

# A picture of each page of the main window on the demo, into $(BUILD)/screenshots/.
.PHONY: screenshots
screenshots: build
	@bash scripts/screenshots.sh $(BUILD) $(DEMO)

# Benchmarks: Release build without sanitizers in build-bench, then the tokenizer and map file
# benchmarks and, when present, the scan benchmark script.
.PHONY: bench
bench: deps
	@cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DUNITRACE_SANITIZE=OFF \
		-DUNITRACE_BENCH=ON -DUNITRACE_GUI=OFF -DUNITRACE_TESTS=OFF >/dev/null
	@cmake --build build-bench --target bench_tokenizer bench_mapfile -j $(JOBS)
	@build-bench/bench/bench_tokenizer
	@build-bench/bench/bench_mapfile
	@if [ -f bench/scan_bench.sh ]; then bash bench/scan_bench.sh; fi
	@bash bench/analysis_bench.sh
	@bash bench/gui_bench.sh
	@bash bench/views_bench.sh

# Windows: core, unitrace-cli.exe and tdump.exe cross-compiled with MinGW-w64 into
# $(WINBUILD); the tests built the same way run under Wine.
WINBUILD ?= build-windows
WINTOOLCHAIN = $(CURDIR)/cmake/mingw-w64-x86_64.cmake

.PHONY: windows-configure windows test-windows
windows-configure: deps
	@cmake -S . -B $(WINBUILD) -DCMAKE_TOOLCHAIN_FILE=$(WINTOOLCHAIN) -DCMAKE_BUILD_TYPE=Release \
		-DUNITRACE_GUI=OFF -DUNITRACE_SANITIZE=OFF -DUNITRACE_TESTS=ON \
		$(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache) >/dev/null

windows: windows-configure
	@cmake --build $(WINBUILD) -j $(JOBS) --target unitrace-cli tdump

test-windows: windows-configure
	@cmake --build $(WINBUILD) -j $(JOBS)
	@bash scripts/test-windows.sh $(WINBUILD)

# A .deb of the programs (Release, no sanitizers) in build-package, unpacked and tried.
PKGBUILD ?= build-package
.PHONY: package install
package: deps
	@cmake -S . -B $(PKGBUILD) -DCMAKE_BUILD_TYPE=Release -DUNITRACE_SANITIZE=OFF \
		-DUNITRACE_TESTS=OFF $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache) >/dev/null
	@cmake --build $(PKGBUILD) -j $(JOBS)
	@cd $(PKGBUILD) && cpack -G DEB >/dev/null
	@bash scripts/check-package.sh $(PKGBUILD)

# Installs the build into PREFIX (default /usr/local): make install PREFIX=$$HOME/.local
PREFIX ?= /usr/local
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)
