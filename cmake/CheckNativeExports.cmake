# Fails unless the module file MODULE defines exactly one dynamic symbol, PluginMain.
#   cmake -DNM=<nm> -DMODULE=<file> -P CheckNativeExports.cmake
execute_process(COMMAND ${NM} -D --defined-only ${MODULE}
    OUTPUT_VARIABLE listing RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "${NM} could not read ${MODULE}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${listing}")
set(exports "")
foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[0-9a-fA-F]* *[A-Za-z] " "" name "${line}")
    list(APPEND exports "${name}")
endforeach()
if(NOT exports STREQUAL "PluginMain")
    message(FATAL_ERROR "${MODULE} exports [${exports}]; expected exactly [PluginMain]")
endif()
message(STATUS "${MODULE} exports exactly PluginMain")
