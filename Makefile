# The README's commands start from a bare machine with `sh setup.sh demo|test|dist`, which
# installs make and the rest and then runs the target here. Once the packages are there:
#   make demo   renumber the bundled example document with the real module and show the result
#   make test   build everything (native, sanitizers, Windows) and run every test
#   make bench  time renumbering through the stand-in host (results: bench/RESULTS.md)
#   make dist   dist/quorvane-<version>-win64.zip, the Windows release (reproducible)
#   make deb    dist/quorvane_<version>-1_amd64.deb, the Debian package (reproducible, lintian-clean)
#   make web    build/web/page/, the web page (docs/web.md), and quorvane.html, the page in one file
# Each first installs missing Debian packages (as root), or says which command would.
#
# Adding a target: give it a deps line in scripts/install-deps.sh if it needs packages, and a
# build preset in CMakePresets.json if it builds a tree of its own.

MAKEFLAGS += --no-print-directory

# Wine's server for the Windows tests outlives each test program by a minute, so that the next
# one starts fast; this stops it and its services when the run is over.
STOP_WINE = cmake/wine-run.sh --prefix=$(CURDIR)/build/windows/wine --stop

.PHONY: demo test bench dist deb deps-demo deps-test deps-dist deps-deb deps-web native sanitize windows fuzz clean
.PHONY: web web-tests
.PHONY: inkscape-extension install-inkscape uninstall-inkscape inkscape-extension-windows

demo: deps-demo
	cmake --preset native >/dev/null
	cmake --build --preset native --target Quorvane quorvane-host
	@echo "== examples/festival-posters.json, numbered in the order the posters were drawn:"
	@build/native/bin/quorvane-host show examples/festival-posters.json
	@echo "== Grid by Row through the real module (add --output FILE to write the result):"
	@build/native/bin/quorvane-host renumber --by row --picture build/festival-posters.by-row.svg \
		examples/festival-posters.json

# The tests and the tools they run (the vector editor, fontconfig, Wine) write their homes,
# caches and temporary files inside the build tree, never in the user's.
TEST_HOME = $(CURDIR)/build/test-home
TEST_ENV = HOME=$(TEST_HOME) XDG_CACHE_HOME=$(TEST_HOME)/.cache XDG_CONFIG_HOME=$(TEST_HOME)/.config \
	XDG_DATA_HOME=$(TEST_HOME)/.local/share XDG_STATE_HOME=$(TEST_HOME)/.local/state \
	TMPDIR=$(TEST_HOME)/tmp

# ctest's summary is the last thing printed; its status is the target's.
test: deps-test native sanitize windows fuzz web-tests
	@mkdir -p $(TEST_HOME)/tmp
	@status=0; env $(TEST_ENV) ctest --preset native || status=$$?; env $(TEST_ENV) $(STOP_WINE); \
		exit $$status

bench: deps-test
	cmake --preset native >/dev/null
	cmake --build --preset native --target Quorvane renumber_bench
	build/native/bin/renumber_bench

dist: deps-dist deps-web
	cmake --preset dist
	cmake --build --preset dist
	cmake --preset web >/dev/null
	cmake --build --preset web --target web-dist

# Built by dpkg-buildpackage from a copy of the sources in build/deb (scripts/make-deb.sh).
deb: deps-deb
	sh scripts/make-deb.sh . build/deb dist

deps-demo deps-test deps-dist deps-deb deps-web: deps-%:
	@sh scripts/install-deps.sh $*

native:
	cmake --preset native
	cmake --build --preset native

sanitize:
	cmake --preset sanitize
	cmake --build --preset sanitize

windows:
	cmake --preset windows
	cmake --build --preset windows

fuzz:
	cmake --preset fuzz
	cmake --build --preset fuzz

# The editor extension (docs/inkscape.md): a self-contained folder, and its install into
# the editor's user extension folder (INKSCAPE_PROFILE_DIR honoured) and removal.
inkscape-extension:
	cmake --preset native >/dev/null
	cmake --build --preset native --target Quorvane quorvane-host
	@extensions/inkscape/extension.sh build build/native/bin quorvane-host Quorvane.so build/inkscape/quorvane

install-inkscape: inkscape-extension
	@extensions/inkscape/extension.sh install build/inkscape/quorvane

uninstall-inkscape:
	@extensions/inkscape/extension.sh uninstall

# The same folder for the editor on Windows, from the Windows tree.
inkscape-extension-windows: windows
	@extensions/inkscape/extension.sh build build/windows/bin quorvane-host.exe Quorvane.aip build/inkscape/windows/quorvane

clean:
	@env $(TEST_ENV) $(STOP_WINE)
	rm -rf build dist

# The web page (docs/web.md): the module and host in WebAssembly with Debian's emscripten, the
# page in build/web/page/ and the same page in one file, build/web/page/quorvane.html.
web: deps-web
	cmake --preset web
	cmake --build --preset web

# The web tree's test programs (the platform-neutral suites as WebAssembly), for make test.
web-tests: web
	cmake --build --preset web --target web-tests
