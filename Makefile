# The two everyday commands: `make run` and `make test`.
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test test-asan bench clean

all: build

deps:
	scripts/install-deps

$(BUILD_DIR)/build.ninja:
	cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS)

configure: deps $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@if [ -x $(BUILD_DIR)/app/TaveloMain ]; then \
	  $(BUILD_DIR)/app/tavelo-launcher; \
	else \
	  echo "The portal is not built yet; the tools are in $(BUILD_DIR)/app/:"; ls $(BUILD_DIR)/app; \
	fi

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_DIR) -G Ninja -DTAVELO_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && ctest --output-on-failure -j $(JOBS)

bench: build
	python3 bench/run_benchmarks.py --app $(BUILD_DIR)/app
	xvfb-run -a -s "-screen 0 1280x800x24" python3 bench/ui_benchmarks.py --build $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR)
