# Windows builds use the C++ runtime as DLLs (libstdc++, libgcc, winpthread): the library and
# its clients must share one runtime, since strings cross the DLL boundary. The DLLs are copied
# beside the programs so that tests run under Wine without a WINEPATH.
set(TOLVANE_MINGW_RUNTIME_DLLS "")
if(MINGW)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                    OUTPUT_VARIABLE _stdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(_gcc_dir ${_stdcxx} DIRECTORY)
    file(GLOB _libgcc ${_gcc_dir}/libgcc_s_*.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libwinpthread-1.dll
                    OUTPUT_VARIABLE _winpthread OUTPUT_STRIP_TRAILING_WHITESPACE)
    foreach(_dll ${_stdcxx} ${_libgcc} ${_winpthread})
        if(NOT EXISTS ${_dll})
            message(FATAL_ERROR "MinGW runtime DLL not found: ${_dll}")
        endif()
        list(APPEND TOLVANE_MINGW_RUNTIME_DLLS ${_dll})
    endforeach()
    file(COPY ${TOLVANE_MINGW_RUNTIME_DLLS} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
    # One shared libgcc too, so exceptions unwind through a single runtime.
    add_link_options(-shared-libgcc)
endif()
