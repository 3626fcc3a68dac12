# zelnor.dll (and Dialler.exe) link the win32-thread-model build of GCC's
# runtime (libstdc++, libgcc, libgcc_eh) in place of the POSIX one the
# toolchain defaults to. The POSIX runtime brings a static winpthreads,
# which takes a TLS slot on each load of the DLL and never gives it back;
# the DLL's own code uses no C++ threads, so nothing else changes. Both
# runtimes come from the same GCC release (Debian's g++-mingw-w64-*-win32
# beside *-posix). A release build without it fails to configure: it would
# ship the leak.
function(link_win32_thread_runtime target)
  if(NOT MINGW)
    return()
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    set(flags_variable CMAKE_SHARED_LINKER_FLAGS)
  else()
    set(flags_variable CMAKE_EXE_LINKER_FLAGS)
  endif()
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-libgcc-file-name
                    OUTPUT_VARIABLE libgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(posix_dir "${libgcc}" DIRECTORY)
  else()
    # clang on GCC's runtime names its folder in the toolchain's link flags.
    string(REGEX MATCH "-L([^ ]*-posix)" posix_flag "${${flags_variable}}")
    set(posix_dir "${CMAKE_MATCH_1}")
  endif()
  string(REGEX REPLACE "-posix$" "-win32" win32_dir "${posix_dir}")
  if(posix_dir STREQUAL "" OR win32_dir STREQUAL posix_dir OR NOT EXISTS "${win32_dir}/libstdc++.a")
    set(problem "No win32-thread-model GCC runtime beside '${posix_dir}': ${target} leaks a TLS "
                "slot per load (scripts/setup installs it)")
    if(CMAKE_BUILD_TYPE STREQUAL "Release")
      message(FATAL_ERROR ${problem})
    endif()
    message(WARNING ${problem})
    return()
  endif()
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_link_directories(${target} BEFORE PRIVATE "${win32_dir}")
  else()
    # The toolchain's -L comes before any of the target's own: swap it in
    # this folder's flags (the target is the only one linked here).
    string(REPLACE "-L${posix_dir}" "-L${win32_dir}" swapped "${${flags_variable}}")
    set(${flags_variable} "${swapped}" PARENT_SCOPE)
  endif()
endfunction()
