# Header-only dependencies: Boost for the library, CLI11 for the tolvane program.
# A cross build must not put the host's /usr/include on its path, so each dependency gets a
# folder that holds nothing but a link to its own headers.
if(CMAKE_CROSSCOMPILING)
    find_path(TOLVANE_HOST_BOOST_DIR boost/version.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH
              NO_DEFAULT_PATH REQUIRED)
    set(_boost_only ${PROJECT_BINARY_DIR}/boost-only-include)
    file(MAKE_DIRECTORY ${_boost_only})
    file(CREATE_LINK ${TOLVANE_HOST_BOOST_DIR}/boost ${_boost_only}/boost SYMBOLIC)
    add_library(TolvaneBoostHeaders INTERFACE)
    target_include_directories(TolvaneBoostHeaders SYSTEM INTERFACE $<BUILD_INTERFACE:${_boost_only}>)
else()
    find_package(Boost 1.74 REQUIRED)
    add_library(TolvaneBoostHeaders INTERFACE)
    target_link_libraries(TolvaneBoostHeaders INTERFACE Boost::headers)
endif()

# CLI11 (Debian's libcli11-dev), the same way on every build.
find_path(TOLVANE_HOST_CLI11_DIR CLI/CLI.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH
          NO_DEFAULT_PATH REQUIRED)
set(_cli11_only ${PROJECT_BINARY_DIR}/cli11-only-include)
file(MAKE_DIRECTORY ${_cli11_only})
file(CREATE_LINK ${TOLVANE_HOST_CLI11_DIR}/CLI ${_cli11_only}/CLI SYMBOLIC)
add_library(TolvaneCli11 INTERFACE)
target_include_directories(TolvaneCli11 SYSTEM INTERFACE ${_cli11_only})
