# The two commands of the README: `make run` shows the program, `make test`
# proves it. Both install what they need on Debian (as root) first.

HOST_PACKAGES := cmake make g++ libgtest-dev
WINDOWS_PACKAGES := cmake make g++-mingw-w64-x86-64-posix wine wine64 xvfb

.PHONY: test host-test windows windows-test run dist bench soak clean

test: host-test windows-test

host-test:
	tools/install-deps.sh $(HOST_PACKAGES)
	cmake --preset host
	cmake --build --preset host
	ctest --preset host

windows:
	tools/install-deps.sh $(WINDOWS_PACKAGES)
	cmake --preset windows
	cmake --build --preset windows

windows-test: windows
	ctest --preset windows

run: windows
	tools/install-deps.sh imagemagick
	tools/run-program.sh

# The release files, from an empty build tree: build/dist/rotary.exe, its
# SHA256SUMS and rotary-windows-x64.zip.
dist:
	tools/install-deps.sh cmake make g++-mingw-w64-x86-64-posix
	rm -rf build/windows build/dist
	cmake --preset windows
	cmake --build --preset windows --target dist
	cd build/dist && sha256sum -c SHA256SUMS && ls -l

# Cost of a frame against its libm floor, and the program's CPU, memory,
# throughput, start-up and size under Wine.
bench: windows
	tools/install-deps.sh libbenchmark-dev python3
	cmake --preset bench
	cmake --build --preset bench
	tools/bench.sh

# Tens of thousands of repaints through degenerate and large sizes.
soak: windows
	ctest --preset windows -L soak

clean:
	rm -rf build
