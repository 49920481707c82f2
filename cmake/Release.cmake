# What ships, and how it is built so that two builds of one commit are bit-identical.
#
# Windows builds carry no build paths and no link time stamps (cmake/Reproducible.cmake).
# Quorvane.aip is built with debug information, which is then moved into Quorvane.aip.debug
# beside it; the module keeps only a debug link to that file (its name and checksum). So the
# windows tree's tests run the very bytes that ship. quorvane-host.exe ships without its symbol
# table and has no debug file: a crash in it is reproduced from its input, not from a dump.
#
# The dist target (dist preset) packs dist/quorvane-<version>-win64.zip; see scripts/make-dist.sh.

set(QUORVANE_DIST_DIR "${PROJECT_SOURCE_DIR}/dist" CACHE PATH "Where make dist puts the release")

if(NOT WIN32)
    return()
endif()

target_compile_options(quorvane_objects PRIVATE -g)

# The module is split in place: the tests load the stripped file, as the host will.
add_custom_command(TARGET Quorvane POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DOBJCOPY=${CMAKE_OBJCOPY} -DFILE=$<TARGET_FILE:Quorvane>
            -P ${PROJECT_SOURCE_DIR}/cmake/SplitDebugInfo.cmake
    VERBATIM)

if(NOT TARGET quorvane-host)
    return()
endif()
add_custom_target(dist
    COMMAND sh ${PROJECT_SOURCE_DIR}/scripts/make-dist.sh
            ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR} ${QUORVANE_DIST_DIR} ${PROJECT_VERSION}
            ${CMAKE_OBJCOPY} ${QUORVANE_EXPAT_SOURCE_DIR}
    DEPENDS Quorvane quorvane-host
    COMMENT "Packing ${QUORVANE_DIST_DIR}/quorvane-${PROJECT_VERSION}-win64.zip"
    VERBATIM)
