# Boost is used header-only (smart_ptr, lexical_cast, random). A cross build must not put the
# host's /usr/include on its path, so it gets a folder that holds nothing but a `boost` link.
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
