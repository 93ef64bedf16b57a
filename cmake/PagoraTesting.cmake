# pagora_add_test(NAME SOURCES ... LIBS ... [LABELS ...] [TIMEOUT s])
#
# One executable, one CTest test: a binary that starts a slow real component
# (cupsd, tesseract, a window) starts it once for all its cases.
# Labels: "unit" (no outside component; also run under the sanitizers),
# "integration" (real print service, scanner, engine or display),
# "tsan" (also built and run under the thread sanitizer).
find_package(GTest REQUIRED)
find_package(Threads REQUIRED)

add_custom_target(unit_tests)
add_custom_target(tsan_tests)

function(pagora_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock Threads::Threads)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  if(NOT T_LABELS)
    set(T_LABELS unit)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}" TIMEOUT ${T_TIMEOUT})
  if("unit" IN_LIST T_LABELS)
    add_dependencies(unit_tests ${name})
  endif()
  if("tsan" IN_LIST T_LABELS)
    add_dependencies(tsan_tests ${name})
  endif()
endfunction()
