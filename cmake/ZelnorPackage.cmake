# zelnor.dll for other programs: import libraries for mingw-w64
# (libzelnor.dll.a) and MSVC (zelnor.lib), and a CMake package giving
# zelnor::zelnor. Installed under the component "zelnor" as
#   bin/<arch>/zelnor.dll  include/zelnor.h
#   lib/<arch>/libzelnor.dll.a  lib/<arch>/zelnor.lib  lib/<arch>/cmake/zelnorConfig*.cmake
include(CMakePackageConfigHelpers)

find_program(LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)

set(zelnor_import_dir ${CMAKE_BINARY_DIR}/zelnor-package)
set(zelnor_import_libraries ${zelnor_import_dir}/libzelnor.dll.a ${zelnor_import_dir}/zelnor.lib)
if(DIALLER_ARCH STREQUAL "x86")
  set(zelnor_machine i386)
  set(zelnor_decorate ON)
else()
  set(zelnor_machine i386:x86-64)
  set(zelnor_decorate OFF)
endif()
add_custom_command(
  OUTPUT ${zelnor_import_libraries}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${zelnor_import_dir}
  COMMAND ${CMAKE_COMMAND}
          -DDEF=${PROJECT_SOURCE_DIR}/zelnor/exports/zelnor.def
          "-DOBJECTS=$<JOIN:$<TARGET_OBJECTS:zelnor>,|>"
          -DNM=${CMAKE_NM} -DDLLTOOL=${CMAKE_DLLTOOL} -DLLVM_DLLTOOL=${LLVM_DLLTOOL}
          -DMACHINE=${zelnor_machine} -DDECORATE=${zelnor_decorate}
          -DOUT_DIR=${zelnor_import_dir} -DNAME=zelnor
          -P ${CMAKE_CURRENT_LIST_DIR}/make_import_libraries.cmake
  DEPENDS zelnor ${PROJECT_SOURCE_DIR}/zelnor/exports/zelnor.def ${CMAKE_CURRENT_LIST_DIR}/make_import_libraries.cmake
  COMMENT "Import libraries for zelnor.dll (${DIALLER_ARCH})"
  VERBATIM)
add_custom_target(zelnor_import_libraries ALL DEPENDS ${zelnor_import_libraries})

configure_file(${CMAKE_CURRENT_LIST_DIR}/zelnorConfig.cmake.in
               ${zelnor_import_dir}/cmake/zelnorConfig.cmake @ONLY)
# The version check also turns a 32-bit package down for a 64-bit build.
write_basic_package_version_file(${zelnor_import_dir}/cmake/zelnorConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)

install(FILES $<TARGET_FILE:zelnor> DESTINATION bin/${DIALLER_ARCH} COMPONENT zelnor)
install(FILES ${zelnor_import_libraries} DESTINATION lib/${DIALLER_ARCH} COMPONENT zelnor)
install(FILES ${zelnor_import_dir}/cmake/zelnorConfig.cmake ${zelnor_import_dir}/cmake/zelnorConfigVersion.cmake
        DESTINATION lib/${DIALLER_ARCH}/cmake COMPONENT zelnor)
install(FILES ${PROJECT_SOURCE_DIR}/zelnor/include/zelnor.h DESTINATION include COMPONENT zelnor)
