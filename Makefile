# The two commands of the README: `make play` and `make test`. Both install what is missing first.
DEBIAN_PACKAGES := cmake make g++ pkg-config git \
	libsdl2-dev libsdl2-mixer-dev libsdl2-image-dev libgl-dev libegl-dev libgl1-mesa-dri \
	libopenjp2-7-dev libgif-dev giflib-tools zlib1g-dev libexpat1-dev libcurl4-openssl-dev angelscript-dev \
	googletest libgtest-dev libbenchmark-dev libmagickwand-dev \
	python3 python3-pil fonts-dejavu-core vorbis-tools xvfb xauth x11-apps

JOBS ?= $(shell nproc)
BUILD ?= build
ASAN_BUILD ?= build-asan
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: play test deps build build-asan clean

play: build
	$(BUILD)/bin/solitaire $(ARGS)

test: build build-asan
	cd $(BUILD) && xvfb-run -a -s "-screen 0 1024x768x24" ctest --output-on-failure -j$(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
		UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j$(JOBS) -L untrusted

deps:
	@missing=$$(for p in $(DEBIAN_PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
		echo "Installing:" $$missing; \
		$(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j$(JOBS)

# Readers of untrusted files and answers also run under ASan and UBSan (label "untrusted").
build-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DSOL_SANITIZE=ON -DSOL_BUILD_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j$(JOBS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
