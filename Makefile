# The two commands of the README, and the steps they are made of.
#   make demo   renumber the bundled example document with the real module and show the result
#   make test   build everything (native, sanitizers, Windows) and run every test
# Both first install missing Debian packages (as root), or say which command would.

.PHONY: demo test deps-demo deps-test native sanitize windows clean

demo: deps-demo
	cmake --preset native >/dev/null
	cmake --build --preset native --target Quorvane quorvane-host
	build/native/bin/quorvane-host demo

test: deps-test native sanitize windows
	ctest --preset native

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

clean:
	rm -rf build
