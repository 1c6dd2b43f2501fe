# make run: set up, build, open the window with the shipped data.
# make test: set up, build, run every test.
# make install: build, then install into PREFIX (/usr/local); make package: the Debian package.
.PHONY: setup build run test bench asan tsan coverage fuzz clean install package

PREFIX ?= /usr/local

setup:
	bash scripts/setup.sh

build: setup
	cmake --preset release
	cmake --build --preset release

run: build
	./build/release/rtsdemo

install: build
	cmake --install build/release --prefix $(PREFIX)

package: build
	cmake --build --preset release --target package
	@ls build/release/rtsdemo_*.deb

test: build
	ctest --preset release

bench: build
	./build/release/tests/benchmarks
	xvfb-run -a -s "-screen 0 1280x1024x24" ./build/release/tests/render_benchmarks

asan: setup
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

# make tsan: the batch tests (matches on worker threads) under ThreadSanitizer.
tsan: setup
	cmake --preset tsan
	cmake --build --preset tsan
	ctest --preset tsan

# make coverage: the unit, sound and window tests of a build with gcov counters (atomic: the batch
# runs worker threads), then line and branch coverage per source folder; throw branches are
# left out of the branch figures. The whole report: build/coverage/coverage.html.
coverage: setup
	cmake --preset coverage
	cmake --build --preset coverage
	find build/coverage -name '*.gcda' -delete
	ctest --test-dir build/coverage -L 'unit|gui|sound' --output-on-failure -j 2
	gcovr --root . --object-directory build/coverage --filter 'src/' --exclude-throw-branches \
	  --json-summary build/coverage/coverage.json --html-details build/coverage/coverage.html \
	  --gcov-ignore-parse-errors
	python3 scripts/coverage_summary.py build/coverage/coverage.json

# make fuzz: build the libFuzzer targets and run each for FUZZ_TIME seconds; the corpus grows
# in build/fuzz/corpus/<target>, seeded from fuzz/corpus/<target>; crashes land in build/fuzz.
# The target names, from the table kFuzzTargets in fuzz/fuzz_targets.h.
FUZZ_TARGETS := $(shell sed -n 's/^ *{"\([a-z]*\)", Fuzz.*/\1/p' fuzz/fuzz_targets.h)
FUZZ_TIME ?= 60
# Inputs up to 1 MB where size drives the cost (long lines, many types, big bitmaps).
FUZZ_MAX_LEN ?= 1048576
FUZZ_DIR := $(CURDIR)/build/fuzz

fuzz: setup
	cmake --preset fuzz
	cmake --build --preset fuzz --target $(FUZZ_TARGETS:%=%_fuzz)
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_DIR)/corpus/$$t; \
	  dict=$(CURDIR)/fuzz/$$t.dict; case $$t in racelist|level) dict=$(CURDIR)/fuzz/typefile.dict;; esac; \
	  [ -f $$dict ] && dict=-dict=$$dict || dict=; \
	  maxlen=; case $$t in typefile|racelist|script|bmp) maxlen=-max_len=$(FUZZ_MAX_LEN);; ai) maxlen=-max_len=4096;; esac; \
	  echo "fuzz: $$t for $(FUZZ_TIME) s"; \
	  ASAN_OPTIONS=detect_leaks=0 $(FUZZ_DIR)/$${t}_fuzz $$dict $$maxlen -max_total_time=$(FUZZ_TIME) \
	    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
	    -artifact_prefix=$(FUZZ_DIR)/$$t- $(FUZZ_DIR)/corpus/$$t $(CURDIR)/fuzz/corpus/$$t \
	    2>$(FUZZ_DIR)/$$t.log || { tail -40 $(FUZZ_DIR)/$$t.log; exit 1; }; \
	  grep -E "stat::number_of_executed_units|stat::peak_rss" $(FUZZ_DIR)/$$t.log; \
	done

clean:
	rm -rf build
