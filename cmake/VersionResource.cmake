# add_version_resource(<target> PRODUCT <name> DESCRIPTION <text>)
#
# Gives a DLL or EXE target a version record: file and product version from
# the top-level project's version, the file's own name, VFT_DLL or VFT_APP
# after the target's type. Language-neutral English, Unicode strings.
set(_version_resource_template ${CMAKE_CURRENT_LIST_DIR}/version_resource.rc.in)

function(add_version_resource target)
  cmake_parse_arguments(ARG "" "PRODUCT;DESCRIPTION" "" ${ARGN})
  if(NOT ARG_PRODUCT OR NOT ARG_DESCRIPTION)
    message(FATAL_ERROR "add_version_resource(${target}): PRODUCT and DESCRIPTION are required")
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    set(VERSION_FILE_TYPE VFT_DLL)
  elseif(type STREQUAL "EXECUTABLE")
    set(VERSION_FILE_TYPE VFT_APP)
  else()
    message(FATAL_ERROR "add_version_resource(${target}): not a DLL or an EXE")
  endif()

  foreach(part MAJOR MINOR PATCH TWEAK)
    set(VERSION_${part} "${CMAKE_PROJECT_VERSION_${part}}")
    if(VERSION_${part} STREQUAL "")
      set(VERSION_${part} 0)
    endif()
  endforeach()
  set(VERSION_TEXT "${VERSION_MAJOR}.${VERSION_MINOR}.${VERSION_PATCH}.${VERSION_TWEAK}")
  set(VERSION_PRODUCT "${ARG_PRODUCT}")
  set(VERSION_DESCRIPTION "${ARG_DESCRIPTION}")

  # The file name is only known at generation time.
  set(configured ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc.in)
  set(generated ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${_version_resource_template} ${configured} @ONLY)
  file(GENERATE OUTPUT ${generated} INPUT ${configured})
  target_sources(${target} PRIVATE ${generated})
endfunction()
