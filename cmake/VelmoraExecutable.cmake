# Every program of the project carries its file version, which FileVersionText reads back
# from the file: on Linux as an ELF note, on Windows as a VERSIONINFO resource.
# velmora_add_executable adds it.

if(WIN32)
  set(VELMORA_VERSION_SOURCE "${CMAKE_BINARY_DIR}/generated/version_info.rc")
  configure_file("${CMAKE_CURRENT_LIST_DIR}/version_info.rc.in" "${VELMORA_VERSION_SOURCE}" @ONLY)
else()
  set(VELMORA_VERSION_SOURCE "${CMAKE_BINARY_DIR}/generated/version_note.cpp")
  configure_file("${CMAKE_CURRENT_LIST_DIR}/version_note.cpp.in" "${VELMORA_VERSION_SOURCE}" @ONLY)
endif()

# A program of the system; the target "programs" builds them all.
function(velmora_add_executable target)
  add_executable(${target} ${ARGN} "${VELMORA_VERSION_SOURCE}")
  if(NOT VELMORA_ADDING_TEST)
    set_property(GLOBAL APPEND PROPERTY VELMORA_PROGRAMS ${target})
  endif()
endfunction()

# Called once every program is defined.
function(velmora_add_programs_target)
  get_property(programs GLOBAL PROPERTY VELMORA_PROGRAMS)
  add_custom_target(programs DEPENDS ${programs})
endfunction()

# A test program: linked with GoogleTest and registered with CTest. On Linux every case is
# a CTest test of its own; under Wine, where starting a program costs most of a second,
# the program is one test that runs all its cases.
function(velmora_add_test target)
  set(VELMORA_ADDING_TEST ON)
  velmora_add_executable(${target} ${ARGN})
  target_link_libraries(${target} PRIVATE GTest::gtest GTest::gtest_main GTest::gmock)
  if(CMAKE_CROSSCOMPILING AND VELMORA_TEST_NEEDS_DISPLAY)
    # A window needs a display: Xvfb gives Wine one, in a Wine session of its own.
    find_program(VELMORA_XVFB_RUN xvfb-run REQUIRED)
    find_program(VELMORA_WINESERVER NAMES wineserver64 wineserver PATHS /usr/lib/wine REQUIRED)
    add_test(NAME ${target}
             COMMAND sh ${PROJECT_SOURCE_DIR}/cmake/run-with-display.sh
                     ${CMAKE_BINARY_DIR}/wine-display ${VELMORA_WINESERVER} ${VELMORA_WINE}
                     $<TARGET_FILE:${target}>)
  elseif(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target})
  endif()
  if(CMAKE_CROSSCOMPILING)
    set_tests_properties(${target} PROPERTIES
      ENVIRONMENT "VELMORA_TEST_DATA=${VELMORA_HOST_ROOT}${PROJECT_SOURCE_DIR}/tests/data"
      FIXTURES_REQUIRED wine_prefix TIMEOUT 600)
  else()
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST
                         PROPERTIES ENVIRONMENT "VELMORA_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data")
  endif()
endfunction()
