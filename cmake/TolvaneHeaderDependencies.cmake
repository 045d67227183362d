# Header-only dependencies: Boost for the library, CLI11 for the tolvane program.
# A cross build must not put the host's /usr/include on its path, so a dependency gets a
# folder that holds nothing but a link to its own headers.

# Makes the INTERFACE target `target` whose include folder holds only a link to the host's
# /usr/include/<subdir> (found by `probe`, a file inside it).
function(tolvane_host_headers target subdir probe)
    find_path(_host_dir ${subdir}/${probe} PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH
              NO_DEFAULT_PATH NO_CACHE REQUIRED)
    set(folder ${PROJECT_BINARY_DIR}/${subdir}-only-include)
    file(MAKE_DIRECTORY ${folder})
    file(CREATE_LINK ${_host_dir}/${subdir} ${folder}/${subdir} SYMBOLIC)
    add_library(${target} INTERFACE)
    target_include_directories(${target} SYSTEM INTERFACE $<BUILD_INTERFACE:${folder}>)
endfunction()

if(CMAKE_CROSSCOMPILING)
    tolvane_host_headers(TolvaneBoostHeaders boost version.hpp)
else()
    find_package(Boost 1.74 REQUIRED)
    add_library(TolvaneBoostHeaders INTERFACE)
    target_link_libraries(TolvaneBoostHeaders INTERFACE Boost::headers)
endif()

# CLI11 (Debian's libcli11-dev), the same way on every build.
tolvane_host_headers(TolvaneCli11 CLI CLI.hpp)
