# Every target first installs the packages it needs when they are missing
# (tools/install-deps SET...), then drives CMake and builds only what it runs.
# ./lumora-dev runs these targets on a machine that does not have make yet.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 60
INSTALL_DEPS ?= ./tools/install-deps
CONFIGURE = cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps test demo asan bench fuzz format clean

all:
	@$(INSTALL_DEPS) build test bench
	$(CONFIGURE)
	cmake --build $(BUILD) -j $(JOBS)

deps:
	@$(INSTALL_DEPS)

test:
	@$(INSTALL_DEPS) build test
	$(CONFIGURE)
	cmake --build $(BUILD) -j $(JOBS) --target lumora_tests
	ctest --test-dir $(BUILD) --output-on-failure --no-tests=error -j $(JOBS)

demo:
	@$(INSTALL_DEPS) build
	$(CONFIGURE)
	cmake --build $(BUILD) -j $(JOBS) --target lumora
	./$(BUILD)/lumora status
	./$(BUILD)/lumora prefs list
	./$(BUILD)/lumora preview

asan:
	@$(INSTALL_DEPS) build test asan
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLUMORA_SANITIZE=ON \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(ASAN_BUILD) -j $(JOBS) --target lumora_tests
	ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --test-dir $(ASAN_BUILD) --output-on-failure --no-tests=error -j $(JOBS)

bench:
	@$(INSTALL_DEPS) build bench
	$(CONFIGURE)
	cmake --build $(BUILD) -j $(JOBS) --target lumora_benchmarks lumora
	@for b in $(BUILD)/bench/bench_*; do echo "== $$b"; $$b; done
	@echo "== bench/idle_cpu.sh"; ./bench/idle_cpu.sh $(BUILD)/lumora
	@echo "== bench/panel_bench.py"; /usr/bin/python3 bench/panel_bench.py $(BUILD)/lumora

fuzz:
	@$(INSTALL_DEPS) build fuzz
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMORA_FUZZ=ON \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target lumora_fuzzers
	@for f in $(FUZZ_BUILD)/fuzz/fuzz_*; do n=$$(basename $$f); echo "== $$f"; \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$n; seeds=; [ -d fuzz/seeds/$$n ] && seeds=fuzz/seeds/$$n; \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp $$f -max_total_time=$(FUZZ_SECONDS) $(FUZZ_BUILD)/corpus/$$n $$seeds || exit 1; done

# The tracked sources; every source under the code folders when this is not a git checkout.
format:
	@$(INSTALL_DEPS) format
	clang-format -i $$(git ls-files '*.h' '*.cpp' 2>/dev/null || \
	  find src tests bench fuzz -name '*.h' -o -name '*.cpp')

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
