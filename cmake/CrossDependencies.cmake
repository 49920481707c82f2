# The libraries of quorvane-host for a cross build, where Debian ships none built for the
# target: expat is compiled from Debian's own source package (pinned by version and SHA-256 in
# scripts/debian-sources.sha256, checked before use) with the cross toolchain and linked
# statically; nlohmann-json and CLI11 are header-only, and their headers are copied from the
# build machine's packages into a folder of their own (the build machine's include folder
# itself must not be searched: its C library headers would shadow the target's).
#
# Each is then found by the ordinary find_package() through a package file written here, so
# the code that uses them reads the same in every build.

set(QUORVANE_EXPAT_SOURCE_DIR "${PROJECT_SOURCE_DIR}/build/sources/expat"
    CACHE PATH "expat's patched Debian source tree, fetched on the first configure when missing")
get_filename_component(_sources "${QUORVANE_EXPAT_SOURCE_DIR}" DIRECTORY)
get_filename_component(_name "${QUORVANE_EXPAT_SOURCE_DIR}" NAME)
if(NOT EXISTS "${QUORVANE_EXPAT_SOURCE_DIR}/expat/lib/xmlparse.c")
    if(NOT _name STREQUAL "expat")
        message(FATAL_ERROR "QUORVANE_EXPAT_SOURCE_DIR (${QUORVANE_EXPAT_SOURCE_DIR}) has no "
                            "expat/lib/xmlparse.c, and only a folder named expat can be fetched")
    endif()
endif()
if(_name STREQUAL "expat")
    # Run every time: it keeps a tree of the pinned version and fetches any other afresh.
    execute_process(COMMAND sh "${PROJECT_SOURCE_DIR}/scripts/fetch-debian-source.sh" expat "${_sources}"
                    RESULT_VARIABLE _failed)
    if(_failed)
        message(FATAL_ERROR "Could not fetch expat's pinned source package (see above)")
    endif()
endif()
file(READ "${QUORVANE_EXPAT_SOURCE_DIR}/.fetched" _expat_release)
string(STRIP "${_expat_release}" _expat_release)
string(REGEX REPLACE "^expat_([0-9.]+).*" "\\1" _expat_version "${_expat_release}")

# Built as Debian configures it (DTDs and namespaces in, 1 KiB of context), with the project's
# compile flags (and so its reproducibility flags) and its own warnings.
set(_expat "${QUORVANE_EXPAT_SOURCE_DIR}/expat/lib")
file(WRITE "${CMAKE_BINARY_DIR}/third-party/expat-config/expat_config.h"
     "#define BYTEORDER 1234\n#define XML_CONTEXT_BYTES 1024\n#define XML_DTD 1\n#define XML_NS 1\n"
     "#define HAVE_MEMMOVE 1\n")
add_library(quorvane_expat STATIC "${_expat}/xmlparse.c" "${_expat}/xmlrole.c" "${_expat}/xmltok.c")
target_include_directories(quorvane_expat PRIVATE "${CMAKE_BINARY_DIR}/third-party/expat-config")
target_include_directories(quorvane_expat SYSTEM PUBLIC "${_expat}")
target_compile_definitions(quorvane_expat PUBLIC XML_STATIC)
if(EMSCRIPTEN)
    # WebAssembly has neither getrandom nor arc4random; emscripten's /dev/urandom draws on the
    # browser's (or node's) cryptographic random numbers.
    target_compile_definitions(quorvane_expat PRIVATE XML_DEV_URANDOM)
endif()
set_target_properties(quorvane_expat PROPERTIES OUTPUT_NAME expat)
target_compile_options(quorvane_expat PRIVATE -w
    "-ffile-prefix-map=${QUORVANE_EXPAT_SOURCE_DIR}=expat")

set(_staged "${CMAKE_BINARY_DIR}/third-party")
file(REMOVE_RECURSE "${_staged}/include")
file(COPY /usr/include/nlohmann /usr/include/CLI DESTINATION "${_staged}/include")
file(GLOB_RECURSE _json_headers /usr/include/nlohmann/*.hpp)
set(_json_version "")
foreach(_header IN LISTS _json_headers)
    file(STRINGS "${_header}" _lines REGEX "#define NLOHMANN_JSON_VERSION_(MAJOR|MINOR|PATCH) +[0-9]+")
    foreach(_line IN LISTS _lines)
        string(REGEX REPLACE ".*_(MAJOR|MINOR|PATCH) +([0-9]+).*" "\\2" _part "${_line}")
        list(APPEND _json_version "${_part}")
    endforeach()
endforeach()
list(SUBLIST _json_version 0 3 _json_version)
string(REPLACE ";" "." _json_version "${_json_version}")
file(STRINGS /usr/include/CLI/Version.hpp _cli11_version REGEX "#define CLI11_VERSION ")
string(REGEX REPLACE ".*\"(.*)\".*" "\\1" _cli11_version "${_cli11_version}")

# quorvane_stage_package(<package> <version> <body>): a package file that find_package() reads.
function(quorvane_stage_package package version body)
    set(_dir "${_staged}/cmake/${package}")
    file(WRITE "${_dir}/${package}Config.cmake" "${body}\n")
    file(WRITE "${_dir}/${package}ConfigVersion.cmake"
         "set(PACKAGE_VERSION \"${version}\")\n"
         "if(PACKAGE_FIND_VERSION VERSION_GREATER PACKAGE_VERSION)\n"
         "  set(PACKAGE_VERSION_COMPATIBLE FALSE)\n"
         "else()\n"
         "  set(PACKAGE_VERSION_COMPATIBLE TRUE)\n"
         "  if(PACKAGE_FIND_VERSION STREQUAL PACKAGE_VERSION)\n"
         "    set(PACKAGE_VERSION_EXACT TRUE)\n"
         "  endif()\n"
         "endif()\n")
    set(${package}_DIR "${_dir}" CACHE PATH "Staged for the cross build" FORCE)
endfunction()

quorvane_stage_package(expat "${_expat_version}" [[
if(NOT TARGET expat::expat)
  add_library(expat::expat ALIAS quorvane_expat)
endif()]])
quorvane_stage_package(nlohmann_json "${_json_version}" "
if(NOT TARGET nlohmann_json::nlohmann_json)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES \"${_staged}/include\")
endif()")
quorvane_stage_package(CLI11 "${_cli11_version}" "
if(NOT TARGET CLI11::CLI11)
  add_library(CLI11::CLI11 INTERFACE IMPORTED)
  set_target_properties(CLI11::CLI11 PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES \"${_staged}/include\")
endif()")
message(STATUS "Cross build: expat ${_expat_version} (${_expat_release}) from source, "
               "nlohmann-json ${_json_version} and CLI11 ${_cli11_version} headers")
