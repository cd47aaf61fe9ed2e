# The README's commands. Each target installs what is missing, configures and builds as needed.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
PYTHON     ?= /usr/bin/python3
CMAKE_ARGS ?=
# Unit tests run headless. Without DISPLAY, JUCE would try ":0", which may be one of the host
# tests' private Xvfb servers that come and go while the tests run side by side; those tests and
# the on-screen ones set their own DISPLAY.
HEADLESS   := DISPLAY=:1999

.PHONY: all deps configure build demo test test-unit test-asan bench models screenshots install clean

all: build

deps:
	@bash .ci/install-deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_ARGS)

configure: deps $(BUILD)/CMakeCache.txt

build: configure
	cmake --build $(BUILD) -j$(JOBS)

# The main job: render the embedded demo through the effect and say what happened.
demo: build
	$(BUILD)/tools/brimstack3-render

# Every test: unit, host and training tests on the release build, then the
# engine, model and state tests again under AddressSanitizer + UBSan.
test: build
	cd $(BUILD) && $(HEADLESS) ctest --output-on-failure --timeout 1200 -j$(JOBS)
	$(MAKE) --no-print-directory test-asan

test-unit: build
	cd $(BUILD) && $(HEADLESS) ctest --output-on-failure -L unit -j$(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRIMSTACK3_SANITIZE=ON $(CMAKE_ARGS) > /dev/null
	cmake --build $(ASAN_BUILD) -j$(JOBS) --target brimstack3-tests
	cd $(ASAN_BUILD) && $(HEADLESS) ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
	    ctest --output-on-failure -L unit -j$(JOBS)

bench: build
	$(BUILD)/bench/brimstack3-bench

# Full training of the six networks (hours on CPU); writes models/ and models/REPORT.md.
models: deps
	cd training && nice -n 19 $(PYTHON) -m brimstack3_training.train --all $(TRAIN_ARGS)
	cd training && $(PYTHON) -m brimstack3_training.report --out ../models/REPORT.md

install: build
	cmake --install $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
