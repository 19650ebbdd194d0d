# The two commands a newcomer needs: `make run` and `make test`; the native Windows
# programs: `make windows` and `make test-windows` (cross-built, tested under Wine).
.PHONY: all deps run gui test release windows test-windows bench bench-convert fuzz format clean

all: release

deps:
	@scripts/install-deps

# Every test under the sanitizers, then the hostile inputs against the optimised programs.
test: deps
	cmake --workflow --preset test
	cmake --workflow --preset robustness

release: deps
	cmake --preset release
	cmake --build --preset release

windows: deps
	cmake --preset windows
	cmake --build --preset windows-programs

test-windows: deps
	cmake --workflow --preset test-windows

# Converts the sample backup on the command line: its list, then the address file's head.
run: release
	build/release/cli/velmora-convert --list examples/Mobius.lmc
	build/release/cli/velmora-convert --force -o build/release/BUCH.ADR examples/Mobius.lmc
	@echo "build/release/BUCH.ADR (Windows-1252), first lines:"
	@head -n 5 build/release/BUCH.ADR | iconv -f WINDOWS-1252 -t UTF-8

gui: release
	build/release/app/qt/velmora

bench: release
	cmake --build --preset release --target benchmarks
	@for b in build/release/bench/bench_*; do [ -x "$$b" ] && "$$b"; done
	python3 bench/convert_bench.py build/release/cli/velmora-convert build/bench-convert

# The whole conversion beside the reference converters, on 19 MB and 170 MB backups.
bench-convert: release
	python3 bench/convert_bench.py build/release/cli/velmora-convert build/bench-convert

# Each libFuzzer target for FUZZ_SECONDS (default 60) on a copy of its corpus; see scripts/fuzz.
fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	scripts/fuzz

format:
	find . -path ./build -prune -o \( -name '*.h' -o -name '*.cpp' \) -print | xargs clang-format -i

clean:
	rm -rf build
