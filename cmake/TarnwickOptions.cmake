# One place for the warnings and the language level of every target.
function(tarnwick_set_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  target_compile_features(${target} PUBLIC cxx_std_20)
  if(TARGET Qt6::Core)
    # Every connection needs a context object.
    target_compile_definitions(${target} PRIVATE QT_NO_CONTEXTLESS_CONNECT)
  endif()
endfunction()

# A GoogleTest executable for one layer:
#   tarnwick_add_test(NAME [OWN_MAIN] SOURCES files... LIBS libs...)
# OWN_MAIN: the sources bring their own main (widget tests pick the offscreen platform).
function(tarnwick_add_test name)
  cmake_parse_arguments(T "OWN_MAIN" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  tarnwick_set_options(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
  if(NOT T_OWN_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
