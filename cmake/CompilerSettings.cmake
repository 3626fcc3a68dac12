# Settings every target of ours shares.
add_library(project_options INTERFACE)
target_compile_features(project_options INTERFACE cxx_std_17)

if(MSVC)
  target_compile_options(project_options INTERFACE /W4 /utf-8 /EHsc)
else()
  target_compile_options(project_options INTERFACE -Wall -Wextra -Wshadow)
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
  endif()
endif()
