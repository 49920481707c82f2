# Moves the debug information of the PE file FILE into FILE.debug beside it, strips FILE, and
# gives it a debug link to FILE.debug (its name and checksum), by which a debugger finds it.
#   cmake -DOBJCOPY=<objcopy> -DFILE=<file> -P SplitDebugInfo.cmake
# objcopy writes the time of its run into the PE header unless SOURCE_DATE_EPOCH is set; 0 is
# what the linker wrote there (--no-insert-timestamp).
set(ENV{SOURCE_DATE_EPOCH} 0)
get_filename_component(_dir "${FILE}" DIRECTORY)
get_filename_component(_name "${FILE}" NAME)
foreach(_step
        "--only-keep-debug;${_name};${_name}.debug"
        "--strip-all;--add-gnu-debuglink=${_name}.debug;${_name}")
    # Run in the file's folder, so that the link names the debug file without a folder.
    execute_process(COMMAND "${OBJCOPY}" ${_step} WORKING_DIRECTORY "${_dir}" RESULT_VARIABLE _failed)
    if(_failed)
        message(FATAL_ERROR "${OBJCOPY} ${_step} failed")
    endif()
endforeach()
