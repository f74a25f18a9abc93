# The two commands of a fresh machine: `make demo` and `make test`.
JOBS ?= $(shell nproc)

.PHONY: all deps host win32 fuzz test unit e2e demo bench clean

all: host win32

deps:
	bash scripts/install-deps.sh

host: deps
	cmake --preset host >/dev/null
	cmake --build build/host -j $(JOBS)

win32: deps
	cmake --preset win32 >/dev/null
	cmake --build build/win32 -j $(JOBS)

fuzz: deps
	cmake --preset fuzz >/dev/null
	cmake --build build/fuzz -j $(JOBS)

# Unit tests, short fuzz runs and the Wine scenarios.
test: host win32 fuzz
	ctest --test-dir build/host --output-on-failure -j 2 -LE e2e
	ctest --test-dir build/fuzz --output-on-failure -j 2
	ctest --test-dir build/host --output-on-failure -L e2e

unit: host
	ctest --test-dir build/host --output-on-failure -LE e2e

e2e: host win32
	ctest --test-dir build/host --output-on-failure -L e2e

demo: win32
	bash demo/run-demo.sh

bench: deps win32
	cmake --preset bench >/dev/null
	cmake --build build/bench -j $(JOBS)
	bash bench/run-bench.sh

clean:
	rm -rf build
