# The two commands of the README, and the steps they are made of.
#   make demo   renumber the bundled example document with the real module and show the result
#   make test   build everything (native, sanitizers, Windows) and run every test
#   make bench  time renumbering through the stand-in host (results: bench/RESULTS.md)
# Both first install missing Debian packages (as root), or say which command would.

MAKEFLAGS += --no-print-directory

.PHONY: demo test bench deps-demo deps-test native sanitize windows fuzz clean
.PHONY: inkscape-extension install-inkscape uninstall-inkscape inkscape-extension-windows

demo: deps-demo
	cmake --preset native >/dev/null
	cmake --build --preset native --target Quorvane quorvane-host
	@echo "== examples/festival-posters.json, numbered in the order the posters were drawn:"
	@build/native/bin/quorvane-host show examples/festival-posters.json
	@echo "== Grid by Row through the real module (add --output FILE to write the result):"
	@build/native/bin/quorvane-host renumber --by row --picture build/festival-posters.by-row.svg \
		examples/festival-posters.json

test: deps-test native sanitize windows fuzz
	ctest --preset native

bench: deps-test
	cmake --preset native >/dev/null
	cmake --build --preset native --target Quorvane renumber_bench
	build/native/bin/renumber_bench

deps-demo:
	@scripts/install-deps.sh demo

deps-test:
	@scripts/install-deps.sh test

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

# The editor extension (README, "In Inkscape"): a self-contained folder, and its install into
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
	rm -rf build
