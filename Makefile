# The two everyday commands: `make run` and `make test`.
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
CMAKE_FLAGS ?=
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test test-asan bench fuzz clean

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

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_DIR) -G Ninja -DTAVELO_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_DIR) -j $(JOBS)
	cd $(ASAN_DIR) && LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  ctest --output-on-failure -j $(JOBS)

# The zip reader, the demo server's Range answer, the install-description
# parser and the episode scraper under libFuzzer (clang), each for
# FUZZ_SECONDS. New inputs collect in the build folder; the seeds in
# fuzz/corpus stay as they are.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 600
FUZZ_FLAGS = -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -Isrc
fuzz: deps
	mkdir -p $(FUZZ_DIR)/corpus $(FUZZ_DIR)/corpus-range $(FUZZ_DIR)/corpus-install $(FUZZ_DIR)/corpus-episodes
	clang++ $(FUZZ_FLAGS) fuzz/zip_reader_fuzz.cpp src/net/zip_reader.cpp src/base/atomic_write.cpp \
	  src/base/file_handle.cpp src/base/system_calls.cpp -lz -o $(FUZZ_DIR)/zip_reader_fuzz
	$(FUZZ_DIR)/zip_reader_fuzz -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=1024 \
	  $(FUZZ_DIR)/corpus fuzz/corpus/zip_reader
	clang++ $(FUZZ_FLAGS) -Itools/demo-server fuzz/byte_range_fuzz.cpp tools/demo-server/byte_range.cpp \
	  src/text/gbk_text.cpp -o $(FUZZ_DIR)/byte_range_fuzz
	$(FUZZ_DIR)/byte_range_fuzz -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=1024 \
	  $(FUZZ_DIR)/corpus-range fuzz/corpus/byte_range
	clang++ $(FUZZ_FLAGS) fuzz/install_description_fuzz.cpp src/companion/install_description.cpp \
	  src/text/template_file.cpp src/text/text_buffer.cpp src/text/gbk_text.cpp -o $(FUZZ_DIR)/install_description_fuzz
	$(FUZZ_DIR)/install_description_fuzz -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=1024 \
	  $(FUZZ_DIR)/corpus-install fuzz/corpus/install_description
	clang++ $(FUZZ_FLAGS) fuzz/episode_scraper_fuzz.cpp src/playback/episode_scraper.cpp \
	  src/playback/episode_cache.cpp src/text/*.cpp src/base/atomic_write.cpp src/base/file_digest.cpp \
	  src/base/file_handle.cpp src/base/system_calls.cpp $$(pkg-config --cflags --libs opencc) -lcrypto \
	  -o $(FUZZ_DIR)/episode_scraper_fuzz
	$(FUZZ_DIR)/episode_scraper_fuzz -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=1024 \
	  $(FUZZ_DIR)/corpus-episodes fuzz/corpus/episode_scraper

bench: build
	python3 bench/net_benchmarks.py --app $(BUILD_DIR)/app
	python3 bench/catalogue_benchmarks.py --app $(BUILD_DIR)/app
	python3 bench/scrape_benchmarks.py --app $(BUILD_DIR)/app
	xvfb-run -a -s "-screen 0 1280x800x24" python3 bench/ui_benchmarks.py --build $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(FUZZ_DIR)
