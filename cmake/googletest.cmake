# GoogleTest for the test programs: the system's libraries serve the 64-bit host; the 32-bit
# builds compile it from the sources that come with them, with their own compiler and flags.
if(CMAKE_SIZEOF_VOID_P EQUAL 8 AND NOT CMAKE_CROSSCOMPILING)
    find_package(GTest REQUIRED)
else()
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    # Its sources are plain ASCII C++ of its own style: none of the program's warnings.
    get_directory_property(program_options COMPILE_OPTIONS)
    set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    set_directory_properties(PROPERTIES COMPILE_OPTIONS "${program_options}")
    if(WIN32)
        target_include_directories(gtest BEFORE PUBLIC ${CMAKE_SOURCE_DIR}/tests/support/gtest_port)
    endif()
endif()
