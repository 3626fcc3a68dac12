# GoogleTest: the system package for native builds; built from Debian's
# sources with our own toolchain for the Windows build.
if(CMAKE_CROSSCOMPILING)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  # Required where the tests are part of the build (Linux); optional for a
  # plain MSVC build of the program itself.
  if(WIN32)
    find_package(GTest)
  else()
    find_package(GTest REQUIRED)
  endif()
endif()

# One test program per source group; CTest names it after the target.
function(dialler_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE project_options GTest::gtest_main ${ARG_LIBRARIES})
  add_test(NAME ${name} COMMAND ${name})
  if(ARG_LABELS)
    set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABELS}")
  endif()
endfunction()
