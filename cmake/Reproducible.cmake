# Windows builds (the windows and dist trees) give the same bytes for the same sources wherever
# and whenever they are built: the source and build folders are mapped to fixed names in debug
# information and __FILE__, and the linker writes no time stamp into the PE header or the export
# directory (windres writes none into the resource directory). Included before any target is
# made, so that every target gets them.
if(WIN32)
    add_compile_options(
        "-ffile-prefix-map=${PROJECT_SOURCE_DIR}=."
        "-ffile-prefix-map=${CMAKE_BINARY_DIR}=build")
    add_link_options(-Wl,--no-insert-timestamp)
endif()
