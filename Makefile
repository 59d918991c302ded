# Two commands take a fresh Debian 12 machine to a running window and a green
# test suite:  make run   and   make test
BUILD ?= build
CMAKE_FLAGS ?=

.PHONY: run test build bootstrap configure bench clean deb screenshots

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

deb: build
	@cd $(BUILD) && cpack -G DEB

screenshots: build
	@scripts/screenshots.sh $(BUILD)

clean:
	rm -rf $(BUILD)
