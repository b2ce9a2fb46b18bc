# Front door. `make demo` and `make test` install what is missing, configure, build, then run.
BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
PREFIX     ?= $(HOME)/.vst
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 20
CMAKE_FLAGS ?=

SHOTS ?= $(BUILD)/screenshots

.PHONY: levels screenshots all deps configure build fuzz-long package test test-main test-asan test-tsan test-fuzz fuzz demo install clean bench

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The Debian package (build/package/pelko2_<version>_<arch>.deb); the package test unpacks it.
package: build
	@rm -rf $(BUILD)/package && cd $(BUILD) && cpack -G DEB >/dev/null && ls "$$PWD"/package/*.deb

test-main: package
	@cd $(BUILD) && ctest -j $(JOBS) --output-on-failure

test: test-main
	@scripts/test-gates $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD) $(FUZZ_SECONDS)

demo: build
	@scripts/demo $(BUILD)

# A PNG of every editor page with the factory skin into $(SHOTS)/, and the README's pictures
# into docs/, at 1x and at 2x.
screenshots: build
	@mkdir -p $(SHOTS)
	@$(BUILD)/tools/pelko-shot/pelko-shot --module $(BUILD)/pelko2.so $(SHOTS)/pelko-1x >/dev/null
	@$(BUILD)/tools/pelko-shot/pelko-shot --module $(BUILD)/pelko2.so --scale 2 $(SHOTS)/pelko-2x >/dev/null
	@cp $(SHOTS)/pelko-1x-01-Osc1Page.png docs/oscillator-page.png
	@cp $(SHOTS)/pelko-1x-10-SeqPage.png docs/sequencer-page.png
	@cp $(SHOTS)/pelko-1x-11-FxPage.png docs/effects-page.png
	@echo "Pictures of every page in $(SHOTS)/"

# Measures the loudness of every factory program on the release module again and writes the
# levels the factory banks are built with (content/levels/); run it after a change to the sound.
levels: build
	@cmake --build $(BUILD) --target factory_levels
	@cmake --build $(BUILD) -j $(JOBS)

bench: build
	@$(BUILD)/bench/pelko_bench

install: build
	@mkdir -p "$(PREFIX)"
	@install -m 0755 $(BUILD)/pelko2.so "$(PREFIX)/pelko2.so"
	@rm -rf "$(PREFIX)/pelko2.new" && cp -r $(BUILD)/pelko2 "$(PREFIX)/pelko2.new"
	@rm -rf "$(PREFIX)/pelko2.old" && if [ -d "$(PREFIX)/pelko2" ]; then mv "$(PREFIX)/pelko2" "$(PREFIX)/pelko2.old"; fi
	@mv "$(PREFIX)/pelko2.new" "$(PREFIX)/pelko2" && rm -rf "$(PREFIX)/pelko2.old"
	@echo "Installed $(PREFIX)/pelko2.so and its folder $(PREFIX)/pelko2/"

fuzz: deps
	@scripts/fuzz $(FUZZ_BUILD) $${SECONDS_EACH:-600}

# Every fuzz target for FUZZ_LONG_SECONDS each (default 1800), with a report of executions and
# coverage; the corpora it grows are merged, minimised, into fuzz/corpus/.
fuzz-long: deps
	@scripts/fuzz-long $(FUZZ_BUILD) $${FUZZ_LONG_SECONDS:-1800} $(TARGETS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD)
