# One static library per source folder: every .cpp of the folder except the
# program entry, headers beside the sources. A library links exactly what it
# includes: PUBLIC what its headers include (LIBS means the same), PRIVATE
# what only its sources do. scripts/check.sh includes keeps the folders'
# order.
function(lekta_module name)
  cmake_parse_arguments(M "" "" "LIBS;PUBLIC;PRIVATE;EXCLUDE" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(x IN LISTS M_EXCLUDE)
    list(REMOVE_ITEM srcs ${CMAKE_CURRENT_SOURCE_DIR}/${x})
  endforeach()
  file(GLOB hdrs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${name} STATIC ${srcs} ${hdrs})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${M_LIBS} ${M_PUBLIC} PRIVATE ${M_PRIVATE})
endfunction()

# One test program per tests/ folder: every .cpp of the folder, run by CTest
# with the offscreen platform so widgets work without a display.
function(lekta_test_folder name)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs} ${CMAKE_SOURCE_DIR}/tests/support/test_main.cpp)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${T_LIBS} lekta_test_support GTest::gtest GTest::gmock)
  # LEKTA_TEST_ENVIRONMENT: the sanitizers' run-time options in a sanitizer build.
  set(env "QT_QPA_PLATFORM=offscreen" "LEKTA_BIN_DIR=${CMAKE_BINARY_DIR}/bin" "LEKTA_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
      ${LEKTA_TEST_ENVIRONMENT})
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "${env}"
               TIMEOUT 120)
endfunction()
