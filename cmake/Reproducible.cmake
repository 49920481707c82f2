# Windows builds (the windows and dist trees) give the same bytes for the same sources wherever
# and whenever they are built: the source and build folders are mapped to fixed names in debug
# information and __FILE__, and the linker writes no time stamp into the PE header or the export
# directory (windres writes none into the resource directory). Included before any target is
# made, so that every target gets them.
#
# Each folder is mapped under both its spellings, as given and with symbolic links resolved:
# CMake hands the compiler the paths as given, while the compiler's working folder (recorded
# as the compilation folder in debug information) is the resolved one. A tree reached through
# a link would otherwise keep its real path in the debug file, and so in the module's debug
# link checksum.
#
# The compiler matches a map's folder as a plain prefix of a path, and where several match the
# one given last wins. So the maps go shortest folder first: the longest, most particular folder
# that matches wins, whether the build folder lies inside the source folder or a link's path
# begins with the real one (/x/tree reached as /x/tree-link, where /x/tree's map would make
# /x/tree-link/about/... into .-link/about/...).

# quorvane_file_prefix_maps(<out> <folder>=<name>...): the -ffile-prefix-map options for the
# pairs, each folder under both its spellings, shortest folder first.
function(quorvane_file_prefix_maps out)
    set(_maps "")
    foreach(_pair IN LISTS ARGN)
        string(REGEX MATCH "^(.*)=([^=]*)$" _ "${_pair}")
        set(_folder "${CMAKE_MATCH_1}")
        set(_name "${CMAKE_MATCH_2}")
        file(REAL_PATH "${_folder}" _resolved)
        foreach(_spelling IN ITEMS "${_folder}" "${_resolved}")
            string(LENGTH "${_spelling}" _length)
            # Zero-padded lengths sort as numbers (two folders of one length never both match).
            string(LENGTH "000000${_length}" _padded)
            math(EXPR _start "${_padded} - 6")
            string(SUBSTRING "000000${_length}" ${_start} 6 _key)
            list(APPEND _maps "${_key}|-ffile-prefix-map=${_spelling}=${_name}")
        endforeach()
    endforeach()
    list(REMOVE_DUPLICATES _maps)
    list(SORT _maps)
    list(TRANSFORM _maps REPLACE "^[0-9]+\\|" "")
    set(${out} "${_maps}" PARENT_SCOPE)
endfunction()

if(WIN32)
    quorvane_file_prefix_maps(_maps "${PROJECT_SOURCE_DIR}=." "${CMAKE_BINARY_DIR}=build")
    add_compile_options(${_maps})
    add_link_options(-Wl,--no-insert-timestamp)
endif()
