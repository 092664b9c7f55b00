# The README's commands. Each one installs what is missing, configures and builds.
BUILD       := build
ASAN_BUILD  := build-asan
FUZZ_BUILD  := build-fuzz
JOBS        := $(shell nproc 2>/dev/null || echo 2)
PREFIX      ?= /usr/local
# Seconds each fuzzer runs under `make fuzz`; `make test` runs each for FUZZ_CI_SECONDS.
FUZZ_SECONDS    ?= 180
FUZZ_CI_SECONDS ?= 30

.PHONY: all setup build build-asan build-fuzz fuzz fuzz-ci test run demo bench install package clean

all: build

setup:
	@scripts/setup-deps.sh

build: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

build-asan: setup
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVELNOR_SANITIZE=ON -DVELNOR_BUILD_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# The libFuzzer harnesses, built with clang in a tree of their own.
build-fuzz: setup
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELNOR_FUZZ=ON \
	  -DVELNOR_BUILD_TESTS=OFF -DVELNOR_BUILD_BENCH=OFF
	cmake --build $(FUZZ_BUILD) --target fuzzers -j $(JOBS)

fuzz: build-fuzz
	scripts/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# A short run of each fuzzer, so that a broken harness is caught by `make test`.
fuzz-ci: build-fuzz
	scripts/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_CI_SECONDS)

# Every test, then every test again under AddressSanitizer and UndefinedBehaviorSanitizer,
# then each fuzzer for a short while.
test: build build-asan
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)
	$(MAKE) fuzz-ci

run: build
	./$(BUILD)/app/velnor

demo: build
	./$(BUILD)/cli/velnor-cli demo

bench: build
	./$(BUILD)/bench/velnor_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	./$(BUILD)/bench/velnor_chart_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	./$(BUILD)/bench/velnor_netlist_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
	./$(BUILD)/bench/velnor_view_bench --benchmark_repetitions=5 --benchmark_report_aggregates_only=true

# Installs under PREFIX (default /usr/local), below DESTDIR when given: make install DESTDIR=/tmp/x PREFIX=/usr
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# A Debian package of the build, for /usr, written into build/.
package: build
	cmake --build $(BUILD) --target package

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
