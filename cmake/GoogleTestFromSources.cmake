# GoogleTest for a cross build, compiled from the sources that Debian's googletest package
# ships; they define the names GTest::gtest ... that find_package(GTest) gives.
set(VELMORA_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${VELMORA_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
foreach(library gtest gtest_main gmock gmock_main)
  # Its own warnings are not ours to keep at zero.
  target_compile_options(${library} PRIVATE -w)
endforeach()

# Tests under Wine share one prefix, which the first start creates (about 13 s).
add_test(NAME wine_prefix COMMAND ${VELMORA_WINE} wineboot --init)
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine_prefix)
