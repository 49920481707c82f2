# The libraries of quorvane-host for a cross build, where Debian ships none built for the
# target: pugixml is compiled from Debian's own source package with the cross toolchain and
# linked statically; nlohmann-json and CLI11 are header-only, and their headers are copied from
# the build machine's packages into a folder of their own (the build machine's include folder
# itself must not be searched: its C library headers would shadow the target's).
#
# Each is then found by the ordinary find_package() through a package file written here, so
# the code that uses them reads the same in every build.

set(QUORVANE_PUGIXML_SOURCE_DIR "${PROJECT_SOURCE_DIR}/build/sources/pugixml"
    CACHE PATH "pugixml's patched Debian source tree, fetched on the first configure when missing")
if(NOT EXISTS "${QUORVANE_PUGIXML_SOURCE_DIR}/src/pugixml.cpp")
    get_filename_component(_sources "${QUORVANE_PUGIXML_SOURCE_DIR}" DIRECTORY)
    get_filename_component(_name "${QUORVANE_PUGIXML_SOURCE_DIR}" NAME)
    if(NOT _name STREQUAL "pugixml")
        message(FATAL_ERROR "QUORVANE_PUGIXML_SOURCE_DIR (${QUORVANE_PUGIXML_SOURCE_DIR}) has no "
                            "src/pugixml.cpp, and only a folder named pugixml can be fetched")
    endif()
    message(STATUS "Fetching Debian's pugixml source package into ${_sources}")
    execute_process(COMMAND sh "${PROJECT_SOURCE_DIR}/scripts/fetch-debian-source.sh" pugixml "${_sources}"
                    RESULT_VARIABLE _failed)
    if(_failed)
        message(FATAL_ERROR "Could not fetch pugixml's source package (see above)")
    endif()
endif()
file(READ "${QUORVANE_PUGIXML_SOURCE_DIR}/.fetched" _pugixml_release)
string(STRIP "${_pugixml_release}" _pugixml_release)
string(REGEX REPLACE "^pugixml_([0-9.]+).*" "\\1" _pugixml_version "${_pugixml_release}")

# Built with the project's compile flags (and so its reproducibility flags), its own warnings.
add_library(quorvane_pugixml STATIC "${QUORVANE_PUGIXML_SOURCE_DIR}/src/pugixml.cpp")
target_include_directories(quorvane_pugixml SYSTEM PUBLIC "${QUORVANE_PUGIXML_SOURCE_DIR}/src")
set_target_properties(quorvane_pugixml PROPERTIES OUTPUT_NAME pugixml)
target_compile_options(quorvane_pugixml PRIVATE
    "-ffile-prefix-map=${QUORVANE_PUGIXML_SOURCE_DIR}=pugixml")

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

quorvane_stage_package(pugixml "${_pugixml_version}" [[
if(NOT TARGET pugixml::pugixml)
  add_library(pugixml::pugixml ALIAS quorvane_pugixml)
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
message(STATUS "Cross build: pugixml ${_pugixml_version} (${_pugixml_release}) from source, "
               "nlohmann-json ${_json_version} and CLI11 ${_cli11_version} headers")
