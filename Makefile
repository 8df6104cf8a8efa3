# The two commands of the README: `make play` and `make test`. Both install what is missing first.
# `make test-pictures` runs the whole picture matrix, of which `make test` runs a sample.
# `make fuzz` runs every fuzz target for FUZZ_SECONDS each, FUZZ_JOBS at a time, and keeps what
# they find under FUZZ_OUT (corpus/, crashes/, logs/); `make fuzz-cost` then tells what the inputs
# kept there cost in an optimised build.
DEBIAN_PACKAGES := cmake make g++ clang libclang-rt-dev llvm pkg-config git \
	libsdl2-dev libsdl2-mixer-dev libsdl2-image-dev libgl-dev libegl-dev libgl1-mesa-dri \
	libopenjp2-7-dev libopenjp2-tools libgif-dev giflib-tools zlib1g-dev libexpat1-dev libcurl4-openssl-dev angelscript-dev \
	googletest libgtest-dev libbenchmark-dev libmagickwand-dev imagemagick \
	python3 python3-pil fonts-dejavu-core vorbis-tools xvfb xauth x11-apps time

JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_OUT ?= fuzz-out
FUZZ_SECONDS ?= 180
FUZZ_JOBS ?= $(shell n=$$(( $$(nproc) / 2 )); [ $$n -ge 1 ] && echo $$n || echo 1)
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: play test test-pictures deps build build-asan build-fuzz fuzz-check fuzz fuzz-cost clean

play: build
	$(BUILD)/bin/solitaire $(ARGS)

test: build build-asan build-fuzz
	cd $(BUILD) && xvfb-run -a -s "-screen 0 1024x768x24" ctest --output-on-failure -j$(JOBS) -LE matrix
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions='$(CURDIR)/tests/lsan.supp'" \
		UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j$(JOBS) -L untrusted
	$(MAKE) fuzz-check

# The whole picture matrix (label "matrix"): it makes and keeps about 2 GB of pictures under $(BUILD).
test-pictures: build
	cd $(BUILD) && ctest --output-on-failure -L matrix

deps:
	@missing=$$(for p in $(DEBIAN_PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
		echo "Installing:" $$missing; \
		$(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSOL_WERROR=ON
	cmake --build $(BUILD) -j$(JOBS)

# Readers of untrusted files and answers also run under ASan and UBSan (label "untrusted"): that
# tree builds only their test programs and what they need.
build-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DSOL_SANITIZE=ON -DSOL_BUILD_BENCH=OFF -DSOL_TEST_LABEL=untrusted
	cmake --build $(ASAN_BUILD) -j$(JOBS) --target test_programs

# The fuzz targets: clang, a tree of their own (see fuzz/CMakeLists.txt).
build-fuzz: deps
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
		-DCMAKE_CXX_COMPILER=clang++ -DSOL_FUZZ=ON -DSOL_BUILD_TESTS=OFF -DSOL_BUILD_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j$(JOBS) --target fuzz_all

# Each target briefly on its seeds: a target that crashes on a seed fails.
fuzz-check: build-fuzz
	cd $(FUZZ_BUILD) && ctest --output-on-failure -j$(JOBS) -L fuzz

fuzz: build-fuzz
	fuzz/run_fuzzers.sh $(FUZZ_BUILD) $(FUZZ_OUT) $(FUZZ_SECONDS) $(FUZZ_JOBS)

# What each input kept under FUZZ_OUT costs in an optimised build without the sanitizers: the
# slowest and greediest per target; fails over 1 s or 256 MB (JPEG-2000: 1536 MB) for an input of
# at most 64 KiB.
fuzz-cost: build
	cmake -S . -B $(BUILD) -DSOL_FUZZ_REPLAY=ON
	cmake --build $(BUILD) -j$(JOBS) --target replay_all
	fuzz/replay_costs.sh $(BUILD) $(FUZZ_OUT)

# The game played by `make play` keeps its progress in $(BUILD)/bin/data, which goes with the tree.
clean:
	@if [ -f $(BUILD)/bin/data/data/save.dat ]; then \
		echo "Removing $(BUILD)/ and the progress of the game played there ($(BUILD)/bin/data/data/save.dat, hiscores.dat)"; fi
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
