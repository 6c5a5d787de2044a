# Test programs of the Windows builds, run under Wine and never shipped: the unit tests with
# the product's own compiler and flags (32-bit only: that is the product), and the probe that
# looks for a running morvi's hidden window.
add_executable(suspend_probe tests/support/suspend_probe.cpp)
target_link_options(suspend_probe PRIVATE -static -static-libgcc -static-libstdc++)
target_link_libraries(suspend_probe PRIVATE user32 kernel32)

if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    include(cmake/googletest.cmake)
    enable_testing()
    file(GLOB unit_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
    add_executable(morvi_unit_tests ${unit_sources})
    target_include_directories(morvi_unit_tests PRIVATE tests)
    target_link_libraries(morvi_unit_tests PRIVATE morvi_run GTest::gtest GTest::gtest_main)
    target_link_options(morvi_unit_tests PRIVATE -static -static-libgcc -static-libstdc++)
    # One Wine start for the whole suite: a start costs more than all its tests.
    add_test(NAME wine-unit COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-test $<TARGET_FILE:morvi_unit_tests>)
    set_tests_properties(wine-unit PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77)
endif()
