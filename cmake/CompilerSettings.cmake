# Settings every target of ours shares.
add_library(project_options INTERFACE)
target_compile_features(project_options INTERFACE cxx_std_17)

if(MSVC)
  target_compile_options(project_options INTERFACE /W4 /utf-8 /EHsc)
else()
  target_compile_options(project_options INTERFACE -Wall -Wextra -Wshadow)
endif()

# SSE2 is the x86 baseline (Windows 8 and later require it; MSVC targets it
# by default): the tone generator's double arithmetic runs in SSE registers,
# giving the same bits as x64, instead of on the x87 stack.
if(NOT MSVC AND CMAKE_SYSTEM_PROCESSOR MATCHES "^(i[3-6]86|x86)$")
  target_compile_options(project_options INTERFACE -msse2 -mfpmath=sse)
endif()

if(WIN32)
  target_compile_definitions(project_options INTERFACE
    NOMINMAX WIN32_LEAN_AND_MEAN STRICT UNICODE _UNICODE _WIN32_WINNT=0x0A00 WINVER=0x0A00)
  if(MINGW)
    # Static runtime: the binaries import only system DLLs.
    # ASLR and DEP stay on explicitly whatever the linker's defaults.
    target_link_options(project_options INTERFACE
      -static -static-libgcc -static-libstdc++
      -Wl,--dynamicbase -Wl,--nxcompat
      $<$<CONFIG:Release>:-s>)
    # What ships is a window, a console tool and a DLL's glue, all waiting
    # on the user or the device: optimised for size. The tone generator's
    # sources ask for speed themselves (zelnor/signal).
    target_compile_options(project_options INTERFACE $<$<CONFIG:Release>:-Os>)
  endif()
endif()

# For code whose speed matters more than its size (the tone generator, the
# benchmarks and their memcpy yardstick): -O3 over the size setting above,
# as a source option, which comes last on the command line.
# Given sources after the target, only those; else all of the target's.
function(optimise_for_speed target)
  if(MINGW)
    set(sources ${ARGN})
    if(NOT sources)
      get_target_property(sources ${target} SOURCES)
    endif()
    set_source_files_properties(${sources} TARGET_DIRECTORY ${target}
                                PROPERTIES COMPILE_OPTIONS $<$<CONFIG:Release>:-O3>)
  endif()
endfunction()
