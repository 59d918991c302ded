# Two commands take a fresh Debian 12 machine to a running window and a green
# test suite:  make run   and   make test
BUILD ?= build
CMAKE_FLAGS ?=

.PHONY: run test build bootstrap configure bench bench-startup startup-order clean deb screenshots

bootstrap:
	@scripts/bootstrap.sh

configure: bootstrap
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD)

run: build
	$(BUILD)/app/rotamet

test: build
	@scripts/run-tests.sh $(BUILD)

bench: build
	$(BUILD)/bench/rotamet_bench

# Start-up against its floor, with and without a print server (a private one).
# make bench-startup BEFORE=../old/build: also the Rotamet of an earlier
# commit's build, in the same turns (RUNS=15 runs of each by default).
bench-startup: build
	bench/startup.sh $(BUILD) $(or $(RUNS),15) $(BEFORE)

# The list of start-up functions that the link lays out together
# (app/startup-order.txt), taken again from the program as built.
startup-order: build
	scripts/startup-order.sh $(BUILD)

deb: build
	@cd $(BUILD) && cpack -G DEB

screenshots: build
	@scripts/screenshots.sh $(BUILD)

# Checks beyond the suite: the suite under AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan/), and fuzzing of number text and of
# the pump file's reader with libFuzzer (build-fuzz/), 30 s or 600 s per fuzz
# target.
.PHONY: test-asan fuzz-smoke fuzz test-spreadsheet test-faults

test-asan: bootstrap
	@cmake --preset asan >/dev/null
	@cmake --build build-asan
	@scripts/run-tests.sh build-asan

fuzz-smoke: bootstrap
	@scripts/fuzz.sh 30

fuzz: bootstrap
	@scripts/fuzz.sh 600

# Every file and network call of four user actions failed in turn under
# strace, a few held past the program's deadlines, and kills at seeded
# moments (tests/faults/run-faults.py; bounded counts, a few minutes).
# FAULTS_FLAGS="--points 0" fails every call instead of a spread of them.
FAULTS_FLAGS ?=
test-faults: build
	@cmake --build $(BUILD) --target faultdriver
	@python3 tests/faults/run-faults.py --driver $(BUILD)/tests/faults/faultdriver $(FAULTS_FLAGS)

# With a real spreadsheet: LibreOffice Calc, headless, reads what the program
# hands over (tests/spreadsheet/*.sh). Installs its own packages first
# (tests/spreadsheet/packages.txt, LibreOffice Calc without a GUI).
test-spreadsheet: build
	@scripts/bootstrap.sh tests/spreadsheet/packages.txt
	@scripts/run-spreadsheet-tests.sh $(BUILD)

clean:
	rm -rf $(BUILD)

# Windows, cross-built with MinGW-w64 in build-win/: the installer
# build-win/rotamet-1.00-win64.exe and the portable zip
# build-win/rotamet-1.00-win64-portable.zip, and the suite as Windows programs
# under Wine, with the installer's and the zip's test. The Windows Qt is built
# once into ~/.cache/rotamet (ROTAMET_CACHE).
.PHONY: windows test-windows

windows:
	@scripts/windows/build.sh package

test-windows:
	@scripts/windows/build.sh test
