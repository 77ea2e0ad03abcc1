# Thin wrapper over the CMake presets. `make demo` and `make test` are the README's two commands.
.PHONY: all deps demo test gui bench release fuzz clean package install

all: release

deps:
	@scripts/install-deps

release: deps
	cmake --preset release
	cmake --build --preset release

demo: release
	./build/release/src/cli/quorvane-cli analyze --sample

gui: release
	./build/release/src/app/quorvane

# The fuzz targets are compiled with clang as well (not run), so that one that
# stops building breaks the tests.
test: deps
	cmake --preset test
	cmake --build --preset test
	ctest --preset test
	cmake --preset fuzz
	cmake --build --preset fuzz --target fuzzers

bench: deps
	cmake --preset bench
	cmake --build --preset bench
	./build/bench/bench/quorvane-bench
	bench/cli_bench.sh build/bench/src/cli/quorvane-cli build/bench/classes

# dist/quorvane_<version>_<arch>.deb, packed by CPack from the install rules.
package: release
	cd build/release && cpack -G DEB

# Into CMAKE_INSTALL_PREFIX (/usr/local unless configured otherwise).
install: release
	cmake --install build/release

fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz

clean:
	rm -rf build
