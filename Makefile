# make run: set up, build, open the window with the shipped data.
# make test: set up, build, run every test.
.PHONY: setup build run test bench asan clean

setup:
	bash scripts/setup.sh

build: setup
	cmake --preset release
	cmake --build --preset release

run: build
	./build/release/rtsdemo --data data

test: build
	ctest --preset release

bench: build
	./build/release/tests/benchmarks

asan: setup
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

clean:
	rm -rf build
