# `cmake --install` of a native tree (what the Debian package runs, under /usr):
#   PREFIX/bin/quorvane-host
#   PREFIX/lib/quorvane/Quorvane.so        where the program looks when none is beside it
#   PREFIX/share/inkscape/extensions/quorvane/*.inx  every editor command, each running
#                                          PREFIX/bin/quorvane-host by its absolute path
#   PREFIX/share/man/man1/quorvane-host.1
# The module's folder is fixed, not the platform's library folder (lib/x86_64-linux-gnu):
# quorvane-host finds it as ../lib/quorvane relative to itself (hostsim::DefaultModulePathFor).
if(WIN32 OR NOT TARGET quorvane-host)
    return()
endif()

install(TARGETS quorvane-host RUNTIME DESTINATION bin)
install(TARGETS Quorvane LIBRARY DESTINATION lib/quorvane)
install(FILES ${PROJECT_SOURCE_DIR}/docs/quorvane-host.1 DESTINATION share/man/man1)

# The extension's descriptions run the program beside them (location="inx"); installed
# system-wide they run the installed one. Every .inx in the folder is installed, whatever
# commands it holds; one whose command line is not the expected one stops the configure
# rather than install an entry that runs nothing.
file(GLOB _inx_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/extensions/inkscape/*.inx)
if(NOT _inx_files)
    message(FATAL_ERROR "no .inx files in ${PROJECT_SOURCE_DIR}/extensions/inkscape")
endif()
set(_local_command "<command location=\"inx\">quorvane-host</command>")
set(_installed_command
    "<command location=\"absolute\">${CMAKE_INSTALL_PREFIX}/bin/quorvane-host</command>")
foreach(_inx IN LISTS _inx_files)
    get_filename_component(_name ${_inx} NAME)
    file(READ ${_inx} _text)
    string(FIND "${_text}" "${_local_command}" _at)
    if(_at EQUAL -1)
        message(FATAL_ERROR "${_inx}: no ${_local_command} to point at the installed program")
    endif()
    string(REPLACE "${_local_command}" "${_installed_command}" _text "${_text}")
    file(WRITE ${CMAKE_BINARY_DIR}/inkscape-installed/${_name} "${_text}")
    install(FILES ${CMAKE_BINARY_DIR}/inkscape-installed/${_name}
            DESTINATION share/inkscape/extensions/quorvane)
endforeach()
