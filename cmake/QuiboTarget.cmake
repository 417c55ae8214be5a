include(GoogleTest)

# Warnings are errors on our own code; third-party headers come in as SYSTEM
# through their imported targets, so they never trip these flags.
function(quibo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror
                                           -Wno-error=deprecated-declarations)
endfunction()

# quibo_library(name SOURCES ... LINKS ...): a static library of one subsystem,
# includes path-qualified from src/.
function(quibo_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_LINKS})
  quibo_warnings(${name})
endfunction()

# quibo_test(name [GUI] SOURCES ... LINKS ... [FIXTURES ...]): one GoogleTest executable, run by CTest.
# GUI tests get a QApplication; all run on the offscreen platform with a private runtime folder.
# FIXTURES names CTest fixtures every case needs (set up once per run, e.g. database servers).
function(quibo_test name)
  cmake_parse_arguments(ARG "GUI" "" "SOURCES;LINKS;FIXTURES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
  if(ARG_GUI)
    set(main quibo_testmain_gui)
  else()
    set(main quibo_testmain)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LINKS} quibo_testsupport ${main} GTest::gtest GTest::gmock)
  target_compile_definitions(${name} PRIVATE QUIBO_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
                                             QUIBO_BINARY_DIR="${PROJECT_BINARY_DIR}")
  quibo_warnings(${name})
  set(fixtures)
  if(ARG_FIXTURES)
    set(fixtures FIXTURES_REQUIRED "${ARG_FIXTURES}")
  endif()
  # Each case is a test of its own, named after its executable, so that one case can be run alone
  # and the cases of one executable run in parallel.
  gtest_discover_tests(${name}
    TEST_PREFIX "${name}."
    NO_PRETTY_VALUES
    DISCOVERY_TIMEOUT 120
    PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_RUNTIME_DIR=${PROJECT_BINARY_DIR}/xdg-runtime;ASAN_OPTIONS=detect_leaks=1"
      TIMEOUT 300
      ${fixtures})
endfunction()
