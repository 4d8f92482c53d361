# The leak checker as every test runs it: Qt's own known leaks passed over,
# and no table of them on standard error, which some tests read line by line.
set(STATION_LSAN_OPTIONS
  "suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")

# One warnings list for every target of ours; third-party headers come in as
# system includes so their warnings stay out of our build.
function(station_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
    -Woverloaded-virtual -Wcast-align)
  if(DGH_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# A library of ours: add_station_library(name SOURCES ... LIBS ...)
function(add_station_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
  station_warnings(${name})
endfunction()

# A QtTest program registered with CTest, run offscreen:
# add_station_test(name SOURCES ... LIBS ... [LABELS ...] [TIMEOUT s])
function(add_station_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt5::Test)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  station_warnings(${name})
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${ARG_TIMEOUT}
    LABELS "${ARG_LABELS}"
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/${name}-config;XDG_STATE_HOME=${CMAKE_CURRENT_BINARY_DIR}/${name}-state;XDG_DATA_HOME=${CMAKE_CURRENT_BINARY_DIR}/${name}-data;LSAN_OPTIONS=${STATION_LSAN_OPTIONS};UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
endfunction()
