# The two everyday commands: `make run` and `make test`.
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test test-asan bench fuzz fuzz-build install package clean

all: build

deps:
	scripts/install-deps

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS)

configure: deps $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	scripts/run-demo $(BUILD_DIR)

# The fuzz targets are built and run briefly on their seeds with every test
# run, so none of them can stop building unnoticed.
test: build fuzz-build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)
	cd $(FUZZ_DIR) && FUZZ_SECONDS=$(FUZZ_TEST_SECONDS) ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_DIR) -G Ninja -DTAVELO_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=suppressions=$(CURDIR)/tests/ubsan.supp:print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

# Every parser of outside input under libFuzzer, built with clang in a
# folder of its own (fuzz/CMakeLists.txt lists the targets). `make fuzz`
# runs each for FUZZ_SECONDS; new inputs collect in $(FUZZ_DIR)/runs, the
# seeds in fuzz/corpus stay as they are.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 600
FUZZ_TEST_SECONDS ?= 5

fuzz-build: deps
	cmake -S . -B $(FUZZ_DIR) -G Ninja -DTAVELO_FUZZ=ON -DCMAKE_C_COMPILER=clang \
	  -DCMAKE_CXX_COMPILER=clang++ $(CMAKE_FLAGS)
	cmake --build $(FUZZ_DIR) -j $(JOBS)

fuzz: fuzz-build
	cd $(FUZZ_DIR) && FUZZ_SECONDS=$(FUZZ_SECONDS) \
	  ctest --output-on-failure --timeout $$(( $(FUZZ_SECONDS) + 300 )) -j $(JOBS)

# For people who build from source: the programs in $(PREFIX)/lib/tavelo/,
# the commands in $(PREFIX)/bin/, the menu entry, icon and manual pages in
# $(PREFIX)/share/. DESTDIR stages the files under another root.
PREFIX ?= $(HOME)/.local
DESTDIR ?=

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

# The Debian package for all users: $(BUILD_DIR)/package/tavelo_*.deb,
# checked by Debian's own lintian where it is installed: an error or a
# warning fails the build.
package: build
	cd $(BUILD_DIR) && cpack -G DEB
	if command -v lintian >/dev/null; then \
	  lintian --fail-on error,warning "$$(ls -t $(BUILD_DIR)/package/tavelo_*.deb | head -n 1)"; fi

bench: build
	python3 bench/net_benchmarks.py --app $(BUILD_DIR)/app
	python3 bench/catalogue_benchmarks.py --app $(BUILD_DIR)/app
	python3 bench/scrape_benchmarks.py --app $(BUILD_DIR)/app
	python3 bench/progress_benchmarks.py --build $(BUILD_DIR)
	xvfb-run -a -s "-screen 0 1280x800x24" python3 bench/ui_benchmarks.py --build $(BUILD_DIR)
	xvfb-run -a -s "-screen 0 1280x800x24" python3 bench/window_benchmarks.py --build $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR)
