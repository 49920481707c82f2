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
# link checksum. The later map wins where two match (the build folder may lie inside the
# source folder), so the build folder's come last.
if(WIN32)
    foreach(_pair "${PROJECT_SOURCE_DIR}=." "${CMAKE_BINARY_DIR}=build")
        string(REGEX MATCH "^(.*)=([^=]*)$" _ "${_pair}")
        set(_folder "${CMAKE_MATCH_1}")
        set(_name "${CMAKE_MATCH_2}")
        file(REAL_PATH "${_folder}" _resolved)
        add_compile_options("-ffile-prefix-map=${_folder}=${_name}")
        if(NOT _resolved STREQUAL _folder)
            add_compile_options("-ffile-prefix-map=${_resolved}=${_name}")
        endif()
    endforeach()
    add_link_options(-Wl,--no-insert-timestamp)
endif()
