# zelnor.dll links the win32-thread-model build of GCC's runtime (libstdc++,
# libgcc, libgcc_eh) in place of the POSIX one the toolchain defaults to.
# The POSIX runtime brings a static winpthreads, which takes a TLS slot on
# each load of the DLL and never gives it back; the DLL's own code uses no
# C++ threads, so nothing else changes. Both runtimes come from the same
# GCC release (Debian's g++-mingw-w64-*-win32 beside *-posix).
function(link_win32_thread_runtime target)
  if(NOT (MINGW AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU"))
    return()
  endif()
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-libgcc-file-name
                  OUTPUT_VARIABLE libgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
  get_filename_component(posix_dir "${libgcc}" DIRECTORY)
  string(REGEX REPLACE "-posix$" "-win32" win32_dir "${posix_dir}")
  if(win32_dir STREQUAL posix_dir OR NOT EXISTS "${win32_dir}/libstdc++.a")
    message(WARNING "No win32-thread-model GCC runtime beside ${posix_dir}: ${target} leaks a "
                    "TLS slot per load (scripts/setup installs it)")
    return()
  endif()
  target_link_directories(${target} BEFORE PRIVATE "${win32_dir}")
endfunction()
