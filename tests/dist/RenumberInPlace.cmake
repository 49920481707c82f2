# Copies DOCUMENT into WORK, renumbers the copy in place by ORDER with PROGRAM (run through
# EMULATOR, if any), and fails unless the result is EXPECTED byte for byte.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
get_filename_component(_name "${DOCUMENT}" NAME)
file(COPY "${DOCUMENT}" DESTINATION "${WORK}")
# A relative path, as a user in that folder would type it.
execute_process(COMMAND ${EMULATOR} "${PROGRAM}" renumber --by ${ORDER} --output ${_name} ${_name}
                WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE _status)
if(NOT _status EQUAL 0)
    message(FATAL_ERROR "renumber --by ${ORDER} ${_name} exited with ${_status}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/${_name}" "${EXPECTED}"
                RESULT_VARIABLE _differs)
if(_differs)
    message(FATAL_ERROR "${WORK}/${_name} differs from ${EXPECTED}")
endif()
