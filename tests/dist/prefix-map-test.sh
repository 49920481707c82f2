#!/bin/sh
# Fails unless the file-prefix maps of cmake/Reproducible.cmake name a source file the same
# way however the tree is reached: by its real path, or through a symbolic link whose path
# begins with the real one (/x/tree reached as /x/tree-link), with the build folder inside.
# The compiler matches each map as a plain prefix; the real path's map must not rewrite the
# link's path to ".-link/...".
#
#   tests/dist/prefix-map-test.sh SOURCE WORK COMPILER
set -eu
source=$1
work=$2
compiler=$3
rm -rf "$work"
mkdir -p "$work/tree/about" "$work/tree/build"
work=$(cd "$work" && pwd -P)
ln -s tree "$work/tree-link"
printf 'const char* kFile = __FILE__;\n' >"$work/tree/about/file.cpp"

# The maps CMake would give a build of the tree reached as each spelling.
maps_for() {
    cat >"$work/maps.cmake" <<SCRIPT
include("$source/cmake/Reproducible.cmake")
quorvane_file_prefix_maps(_maps "$1=." "$1/build=build")
foreach(_map IN LISTS _maps)
    message("\${_map}")
endforeach()
SCRIPT
    cmake -P "$work/maps.cmake" 2>&1
}

failed=0
for tree in "$work/tree" "$work/tree-link"; do
    maps=$(maps_for "$tree")
    # The compiler runs in the resolved build folder and is handed the path as given, as
    # CMake does; what it records is compared.
    (cd "$work/tree/build" && "$compiler" $maps -g -c "$tree/about/file.cpp" -o "$work/file.o")
    names=$(strings -a "$work/file.o" | grep 'file\.cpp' | sort -u | tr '\n' ' ')
    case "$names" in
        *-link* | *"$work"*)
            echo "prefix-map-test: reached as $tree, the object names the source as: $names" >&2
            echo "prefix-map-test: maps: $(echo $maps)" >&2
            failed=1 ;;
        *about/file.cpp*) echo "prefix-map-test: reached as $tree: $names" ;;
        *) echo "prefix-map-test: reached as $tree, the source's name is missing: $names" >&2
           failed=1 ;;
    esac
done
[ "$failed" = 0 ] && rm -rf "$work"
exit "$failed"
