# The two commands a newcomer needs: `make run` and `make test`; the native Windows
# programs: `make windows` and `make test-windows` (cross-built, tested under Wine).
.PHONY: all deps run test release windows test-windows bench format clean

all: release

deps:
	@scripts/install-deps

test: deps
	cmake --workflow --preset test

release: deps
	cmake --preset release
	cmake --build --preset release

windows: deps
	cmake --preset windows
	cmake --build --preset windows-programs

test-windows: deps
	cmake --workflow --preset test-windows

run: release
	build/release/app/qt/velmora

bench: release
	cmake --build --preset release --target benchmarks
	@for b in build/release/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

format:
	find . -path ./build -prune -o \( -name '*.h' -o -name '*.cpp' \) -print | xargs clang-format -i

clean:
	rm -rf build
