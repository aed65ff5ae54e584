# Two commands are all a new user needs: `make test` and `make run`.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build test run bench screenshots fuzz test-asan clean deb translations

all: build

deps:
	@bash scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

run: build
	./$(BUILD)/src/app/zanfeld

# The benchmark (README, "Performance"): the program's own cost per file against
# the bare system calls doing the same work. Not part of `make test`. Parameters
# go through BENCH_ARGS, e.g. make bench BENCH_ARGS="--dir /dev/shm --rounds 3".
BENCH_ARGS ?=

bench: configure
	@cmake --build $(BUILD) -j $(JOBS) --target zanfeld_bench
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/bench/zanfeld_bench $(BENCH_ARGS)

# The pictures of the windows in docs/screenshots (README), drawn offscreen on
# a tree the tool makes for itself; never the user's settings, journal or
# Trash. optipng, when installed, makes the files smaller.
SCREENSHOTS ?= docs/screenshots

screenshots: configure
	@cmake --build $(BUILD) -j $(JOBS) --target zanfeld_screenshots
	QT_QPA_PLATFORM=offscreen ./$(BUILD)/tools/screenshots/zanfeld_screenshots $(SCREENSHOTS)
	@if command -v optipng >/dev/null; then optipng -quiet -strip all $(SCREENSHOTS)/*.png; \
	else echo "optipng is not installed: the pictures are left as Qt wrote them"; fi

# The whole test suite under AddressSanitizer (with leak checks) and
# UndefinedBehaviorSanitizer. tests/lsan.supp holds Qt's and fontconfig's own
# leaks only.
ASAN_BUILD ?= build-asan
SANITIZER_ENV = ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0

test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZANFELD_SANITIZE=ON \
		-DZANFELD_BUILD_BENCH=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen $(SANITIZER_ENV) ctest --output-on-failure -j $(JOBS)

# libFuzzer targets, built with clang: each runs FUZZ_SECONDS on its seed
# corpus (tests/fuzz/corpus) and kept crash inputs (tests/fuzz/regressions);
# new inputs go to $(FUZZ_BUILD)/corpus, crashes to $(FUZZ_BUILD)/artifacts.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS = intparse settings listfile namefilter picsize takendate
# The picture probe reads up to its budget of 1 MiB, so its inputs may be twice
# that long, and no allocation of it may pass 32 MiB. Its seed beyond the
# budget (a JPEG whose frame header lies behind 1.1 MB of empty comments, as
# fuzz.FuzzRegressionTest makes it) is too large to keep and is made here.
FUZZ_PICSIZE_OPTS = -max_len=2097152 -malloc_limit_mb=32
# The taken-date reader reads at most 4 MiB of a file and no allocation of
# it may pass 32 MiB; inputs of 1 MiB reach every reader it uses.
FUZZ_TAKENDATE_OPTS = -max_len=1048576 -malloc_limit_mb=32
BEYOND_BUDGET_JPEG = binmode STDIN; binmode STDOUT; local $$/; my $$j = <STDIN>; \
	print substr($$j, 0, 2), "\xff\xfe\x00\x02" x 272144, substr($$j, 2);

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DZANFELD_FUZZ=ON \
		-DZANFELD_BUILD_BENCH=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))
	@for t in $(FUZZ_TARGETS); do \
		mkdir -p $(FUZZ_BUILD)/corpus/$$t $(FUZZ_BUILD)/artifacts/$$t; \
		seeds=""; \
		for d in tests/fuzz/corpus/$$t tests/fuzz/regressions/$$t; do \
			if [ -d $$d ]; then seeds="$$seeds $$d"; fi; \
		done; \
		opts=""; \
		if [ $$t = takendate ]; then opts="$(FUZZ_TAKENDATE_OPTS)"; fi; \
		if [ $$t = picsize ]; then \
			opts="$(FUZZ_PICSIZE_OPTS)"; \
			perl -e '$(BEYOND_BUDGET_JPEG)' <tests/fuzz/corpus/picsize/seed.jpg \
				>$(FUZZ_BUILD)/corpus/$$t/beyond-budget.jpg; \
		fi; \
		echo "== fuzz_$$t for $(FUZZ_SECONDS) s"; \
		$(SANITIZER_ENV) ./$(FUZZ_BUILD)/tests/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) \
			-timeout=10 -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD)/artifacts/$$t/ $$opts \
			$(FUZZ_BUILD)/corpus/$$t $$seeds >$(FUZZ_BUILD)/fuzz_$$t.log 2>&1; \
		status=$$?; \
		grep -E '^stat::number_of_executed_units|^#[0-9]+ +DONE' $(FUZZ_BUILD)/fuzz_$$t.log; \
		if [ $$status -ne 0 ]; then \
			tail -n 60 $(FUZZ_BUILD)/fuzz_$$t.log; \
			echo "fuzz_$$t found a failure: the input is in $(FUZZ_BUILD)/artifacts/$$t"; \
			exit $$status; \
		fi; \
	done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)

# The Debian package zanfeld_<version>_<arch>.deb, built in its own folder
# with an install prefix of /usr, its dependencies found by dpkg-shlibdeps;
# lintian looks at it when it is installed.
DEB_BUILD ?= build-deb
deb: deps
	@cmake -S . -B $(DEB_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DZANFELD_BUILD_BENCH=OFF \
		-DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON -DCMAKE_INSTALL_PREFIX=/usr $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(DEB_BUILD) -j $(JOBS) --target zanfeld zanfeld-cli zanfeld_docs
	cd $(DEB_BUILD) && cpack -G DEB
	cp $(DEB_BUILD)/zanfeld_*.deb .
	@bash scripts/check-deb $(DEB_BUILD)/zanfeld_*.deb

# Brings the English catalogue up to date with the texts of the sources: new
# texts come in unfinished (translate them), texts gone from the code leave.
LUPDATE ?= /usr/lib/qt6/bin/lupdate
translations: deps
	$(LUPDATE) -no-obsolete -locations relative -source-language zh_CN -target-language en \
		src $(wildcard tools) -ts translations/zanfeld_en.ts
