# The two commands a newcomer needs: `make run` and `make test`.
.PHONY: all deps run test release bench format clean

all: release

deps:
	@scripts/install-deps

test: deps
	cmake --workflow --preset test

release: deps
	cmake --preset release
	cmake --build --preset release

run: release
	build/release/app/qt/velmora

bench: release
	cmake --build --preset release --target benchmarks
	@for b in build/release/bench/bench_*; do [ -x "$$b" ] && "$$b"; done

format:
	find . -path ./build -prune -o \( -name '*.h' -o -name '*.cpp' \) -print | xargs clang-format -i

clean:
	rm -rf build
