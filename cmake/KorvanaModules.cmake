# One static library per folder of src/, named korvana_<folder>, holding every .cpp of the folder.
# korvana_add_module(<folder> [DEPS <modules or targets>...])
function(korvana_add_module folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  set(target korvana_${folder})
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# The tests the ThreadSanitizer stage runs: those whose suite or name matches this pattern. The
# tsan test preset in CMakePresets.json filters with the same pattern.
set(KORVANA_TSAN_TESTS "Concurrency|TThreadVolumeWriter")

# One test program per folder of tests/: every .cpp of the folder, linked with the given targets.
# A program with tests that match KORVANA_TSAN_TESTS is listed in the global property
# KORVANA_TSAN_TEST_PROGRAMS (found at configure time, so no list is kept by hand).
# korvana_add_tests(<folder> <targets>...)
function(korvana_add_tests folder)
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  set(target tests_${folder})
  add_executable(${target} ${sources})
  target_link_libraries(${target} PRIVATE ${ARGN} korvana_testsupport GTest::gtest_main GTest::gmock)
  # Test data files are found through this compiled-in folder (tests/data).
  target_compile_definitions(${target} PRIVATE KORVANA_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/data")
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  foreach(source ${sources})
    file(STRINGS ${source} matches REGEX "TEST[_A-Z]*\\(.*(${KORVANA_TSAN_TESTS})")
    if(matches)
      set_property(GLOBAL APPEND PROPERTY KORVANA_TSAN_TEST_PROGRAMS ${target})
      break()
    endif()
  endforeach()
endfunction()
