# make run: install what is missing, build, open the window.
# make test: install what is missing, build, run every test.
# make install [PREFIX=/usr/local] [DESTDIR=...]: the programs, menu entry, icon and manual pages.
# make package: the Debian package build/marivent_VERSION_ARCH.deb.
# make windows: the programs for 64-bit Windows, build-windows/marivent-VERSION-windows.zip.
# make test-windows: make windows and its tests under wine (make test runs it when CI=true).
BUILD ?= build
JOBS ?= 2
# make run starts on the demonstration GPS; make run ARGS="--com 1=/dev/ttyUSB0" for a receiver.
ARGS ?= --demo
PREFIX ?= /usr/local
CMAKE_FLAGS ?=
ifeq ($(CI),true)
CMAKE_FLAGS += -DMARIVENT_WERROR=ON
endif

.PHONY: all deps build test run install package clean fuzz test-sanitize test-windows bench windows

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS)

# The suite runs under the users' French regional settings; the test programs run each case again
# under German settings and none.
test: build
	cd $(BUILD) && LC_ALL=fr_FR.UTF-8 LANG=fr_FR.UTF-8 MARIVENT_NO_CLOCK=1 QT_QPA_PLATFORM=offscreen \
	  ctest --output-on-failure -j$(JOBS)
	@if [ "$(CI)" = true ]; then $(MAKE) --no-print-directory test-sanitize; fi
	@if [ "$(CI)" = true ]; then $(MAKE) --no-print-directory test-windows; fi

run: build
	$(BUILD)/bin/marivent $(ARGS)

# The prefix is given at install time, so the build folder stays the one make test uses.
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)" --strip

package: build
	cd $(BUILD) && cpack -G DEB

# The whole project and every test again under AddressSanitizer and UBSan (CI runs it after the
# ordinary suite). Warnings are not errors here: GCC warns differently with sanitizers, and the
# ordinary build already holds the code to -Werror.
SANITIZE_BUILD ?= build-asan
SANITIZE_ENV = ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMARIVENT_SANITIZE=ON -DMARIVENT_WERROR=OFF
	$(SANITIZE_ENV) cmake --build $(SANITIZE_BUILD) -j$(JOBS)
	cd $(SANITIZE_BUILD) && $(SANITIZE_ENV) LC_ALL=fr_FR.UTF-8 LANG=fr_FR.UTF-8 MARIVENT_NO_CLOCK=1 \
	  QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

# The libFuzzer targets (clang, in build-fuzz), each run FUZZ_SECONDS seconds on a copy of its
# seed corpus: one line per target with its executions and findings.
FUZZ_SECONDS ?= 60
fuzz: deps
	@JOBS=$(JOBS) fuzz/run.sh build-fuzz $(FUZZ_SECONDS)

# The benchmarks, each figure beside its peer's (gpsdecode, gpsbabel) in one table; figures only,
# nothing fails on time. BENCH_ARGS="--quick" shortens the window's runs. Only this target builds
# the benchmark programs (the target benchmarks); make build and make test leave them out.
BENCH_ARGS ?=
bench:
	@scripts/install-deps.sh --bench
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS) --target all benchmarks
	python3 bench/bench.py --build $(BUILD) $(BENCH_ARGS)

# The programs for 64-bit Windows (mingw-w64), from Debian's packages and sources only: Qt and
# GoogleTest for Windows built once into ~/.cache/marivent (a quarter of an hour on two cores), then
# build-windows built with them, its folder marivent-VERSION-windows with the DLLs and plugins the
# programs load, the zip of it and, with NSIS, the installer marivent-VERSION-setup.exe. Each step
# says how long it took. scripts/wine-run.sh runs a program of it here.
WINDOWS_BUILD ?= build-windows
windows:
	@JOBS=$(JOBS) CMAKE_FLAGS="$(CMAKE_FLAGS)" scripts/make-windows.sh $(WINDOWS_BUILD)

# make windows, then its tests under wine (CI runs it after the sanitizers' suite): the test
# programs, and beside the Linux build's programs (make build) the same bytes out, the window on
# a wine COM port and the installer. Each wine test makes a fresh prefix of its own.
test-windows: build
	@JOBS=$(JOBS) CMAKE_FLAGS="$(CMAKE_FLAGS) -DMARIVENT_LINUX_BIN=$(abspath $(BUILD))/bin" \
	  scripts/make-windows.sh $(WINDOWS_BUILD)
	rm -rf $(WINDOWS_BUILD)/wine-prefix
	cd $(WINDOWS_BUILD) && WINEPREFIX=$(abspath $(WINDOWS_BUILD))/wine-prefix \
	  LC_ALL=fr_FR.UTF-8 LANG=fr_FR.UTF-8 MARIVENT_NO_CLOCK=1 QT_QPA_PLATFORM=offscreen \
	  ctest --output-on-failure -j$(JOBS)

clean:
	rm -rf $(BUILD)
