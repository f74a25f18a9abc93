# The two commands of a fresh machine: `make demo` and `make test`.
JOBS ?= $(shell nproc)

.PHONY: all deps host win32 win64 fuzz fuzz-long coverage test unit e2e demo screenshots bench dist clean

all: host win32

deps:
	bash scripts/install-deps.sh

# The Windows build that the Wine runs use: the shipped 32-bit one wherever this machine runs
# 32-bit programs (scripts/windows-build.sh). Decided after the packages are installed.
WINDOWS_BUILD = $(CURDIR)/$$(bash scripts/windows-build.sh)
NOTE_FALLBACK = @bash scripts/windows-build.sh note

host: deps
	cmake --preset host -DUNINST_E2E_WINDOWS_BUILD=$(WINDOWS_BUILD) >/dev/null
	cmake --build build/host -j $(JOBS)

win32: deps
	cmake --preset win32 >/dev/null
	cmake --build build/win32 -j $(JOBS)

# The same program for x86-64: the Wine runs use it only where the kernel cannot run 32-bit
# programs (and so no 32-bit Wine).
win64: deps
	cmake --preset win64 >/dev/null
	cmake --build build/win64 -j $(JOBS)

fuzz: deps
	cmake --preset fuzz >/dev/null
	cmake --build build/fuzz -j $(JOBS)

# Every fuzz target for longer, one after the other, from a copy of its seed corpus; a table of
# executions, speed, coverage and findings at the end. FUZZ_SECONDS (default 600) or FUZZ_RUNS
# per target; FUZZ_TARGETS picks some. Not part of `make test`.
fuzz-long: fuzz
	bash scripts/fuzz-long.sh

# Line and branch coverage of the host tests, per folder, with an HTML report under
# build/coverage/html. A build tree of its own; not part of `make test`.
coverage: deps
	JOBS=$(JOBS) bash scripts/coverage.sh

# Unit tests, short fuzz runs and the Wine scenarios.
# A Wine scenario that fails is run once more: under heavy load Wine now and then loses a
# window or a process start, and the rerun tells that from a fault (both runs are in the log).
E2E_REPEAT ?= --repeat until-pass:2

test: host win32 win64 fuzz
	ctest --test-dir build/host --output-on-failure -j 2 -LE e2e
	ctest --test-dir build/fuzz --output-on-failure -j 2
	$(NOTE_FALLBACK) "the Wine scenarios"
	ctest --test-dir build/host --output-on-failure -L e2e $(E2E_REPEAT)
	$(NOTE_FALLBACK) "the Wine scenarios"
	@bash scripts/windows-build.sh note-wow64

unit: host
	ctest --test-dir build/host --output-on-failure -LE e2e

e2e: host win32 win64
	$(NOTE_FALLBACK) "the Wine scenarios"
	ctest --test-dir build/host --output-on-failure -L e2e $(E2E_REPEAT)
	$(NOTE_FALLBACK) "the Wine scenarios"
	@bash scripts/windows-build.sh note-wow64

demo: win32 win64
	$(NOTE_FALLBACK) "the demo"
	bash demo/run-demo.sh
	$(NOTE_FALLBACK) "the demo"

# Every language under Wine, to be looked at: the confirmation dialog, the progress window and a
# message box of each, as build/screenshots/<tag>-confirm.png, -progress.png and -message.png.
screenshots: win32 win64
	$(NOTE_FALLBACK) "the screenshots"
	python3 tests/e2e/screenshots.py --build $(WINDOWS_BUILD) --work build/e2e-screenshots --out build/screenshots

# The core on the host, then the Windows program under Wine against the floor.
bench: deps win32 win64
	cmake --preset bench >/dev/null
	cmake --build build/bench -j $(JOBS)
	$(NOTE_FALLBACK) "the Wine benchmark"
	bash bench/run-bench.sh
	$(NOTE_FALLBACK) "the Wine benchmark"

# The release zip: the shipped 32-bit build, checked as the target check reads it, with the setup
# author's documents. The packing only reads what these steps built and checked.
dist: win32
	cmake --preset host -DUNINST_E2E_WINDOWS_BUILD=$(WINDOWS_BUILD) >/dev/null
	ctest --test-dir build/host --output-on-failure -L target
	python3 scripts/pack_release.py --build build/win32 --source . --out build/dist

clean:
	rm -rf build
