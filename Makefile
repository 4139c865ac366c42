# Thin wrapper over CMake and Ninja.  `make run` and `make test` are all a
# newcomer needs: both install what is missing first.
BUILD      ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS       ?= $(shell nproc)

# Debian packages the build, the tests and the benchmarks need.
PACKAGES = cmake ninja-build g++ pkg-config qt6-base-dev liburing-dev \
           libgtest-dev libgmock-dev libbenchmark-dev xvfb fio jq fonts-dejavu-core
FUZZ_PACKAGES = clang libclang-rt-dev
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 120

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps deps-fuzz configure build test bench run fuzz install clean

all: build

# Installs only what is missing, so a second run costs nothing.
define install_missing
	@missing=""; for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  if [ "$$(id -u)" != 0 ] && ! command -v sudo >/dev/null; then \
	    echo "Missing packages:$$missing; install them as root (apt-get install$$missing)."; exit 1; \
	  fi; \
	  $(SUDO) apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi
endef

deps:
	$(call install_missing,$(PACKAGES))

deps-fuzz:
	$(call install_missing,$(FUZZ_PACKAGES))

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) --timeout 300

bench: build
	bench/run-bench.sh $(BUILD)

run: build
	bench/run-quick.sh $(BUILD)

# The program, its help page beside it, the .desktop entry and the icon.
# PREFIX=$$HOME/.local installs for one user without root.
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# libFuzzer targets built with clang and the sanitizers, each run FUZZ_SECONDS on its seeds.
fuzz: deps deps-fuzz
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTARNWICK_FUZZ=ON -DTARNWICK_GUI=OFF -DTARNWICK_TESTS=OFF -DTARNWICK_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	fuzz/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD)
