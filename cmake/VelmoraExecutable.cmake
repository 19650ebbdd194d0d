# Every program of the project carries its file version as an ELF note, which
# FileVersionText reads back from the file. velmora_add_executable adds the note.

set(VELMORA_VERSION_NOTE_SOURCE "${CMAKE_BINARY_DIR}/generated/version_note.cpp")
configure_file("${CMAKE_CURRENT_LIST_DIR}/version_note.cpp.in" "${VELMORA_VERSION_NOTE_SOURCE}" @ONLY)

function(velmora_add_executable target)
  add_executable(${target} ${ARGN} "${VELMORA_VERSION_NOTE_SOURCE}")
endfunction()

# A test program: linked with GoogleTest and registered with CTest case by case.
function(velmora_add_test target)
  velmora_add_executable(${target} ${ARGN})
  target_link_libraries(${target} PRIVATE GTest::gtest GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST
                       PROPERTIES ENVIRONMENT "VELMORA_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data")
endfunction()
