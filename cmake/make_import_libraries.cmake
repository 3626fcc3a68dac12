# Script mode, run after zelnor.dll is linked (see ZelnorPackage.cmake):
#   cmake -DDEF= -DOBJECTS=a|b -DNM= -DDLLTOOL= -DLLVM_DLLTOOL= -DMACHINE= -DDECORATE=ON|OFF
#         -DOUT_DIR= -DNAME= -P make_import_libraries.cmake
# The .def names the exports plainly. 32-bit callers reference a __stdcall
# function by its decorated name (_PlayDTMF@12), so on x86 each export gets
# the decoration its object file defines, and both import libraries bind
# that name to the plain export.
file(STRINGS ${DEF} lines)
set(in_exports OFF)
set(exports "")
foreach(line IN LISTS lines)
  string(STRIP "${line}" line)
  if(line MATCHES "^EXPORTS")
    set(in_exports ON)
  elseif(in_exports AND line MATCHES "^[A-Za-z_]")
    list(APPEND exports "${line}")
  endif()
endforeach()

set(symbols "")
if(DECORATE)
  string(REPLACE "|" ";" objects "${OBJECTS}")
  list(FILTER objects INCLUDE REGEX "\\.(obj|o)$")  # not the compiled resources
  execute_process(COMMAND ${NM} -g --defined-only ${objects}
                  OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
endif()

set(import_def "LIBRARY ${NAME}.dll\nEXPORTS\n")
foreach(entry IN LISTS exports)
  string(REGEX MATCH "^[A-Za-z0-9_]+" export "${entry}")
  string(LENGTH "${export}" length)
  string(SUBSTRING "${entry}" ${length} -1 rest)
  set(name ${export})
  if(DECORATE AND symbols MATCHES " T _${export}(@[0-9]+)\n")
    set(name "${export}${CMAKE_MATCH_1}")
  endif()
  string(APPEND import_def "    ${name}${rest}\n")
endforeach()
file(WRITE ${OUT_DIR}/${NAME}-import.def "${import_def}")

set(kill_at "")
if(DECORATE)
  set(kill_at -k)
endif()
execute_process(
  COMMAND ${DLLTOOL} -m ${MACHINE} -d ${OUT_DIR}/${NAME}-import.def -D ${NAME}.dll ${kill_at} -l ${OUT_DIR}/lib${NAME}.dll.a
  COMMAND_ERROR_IS_FATAL ANY)
execute_process(
  COMMAND ${LLVM_DLLTOOL} -m ${MACHINE} -d ${OUT_DIR}/${NAME}-import.def -D ${NAME}.dll ${kill_at} -l ${OUT_DIR}/${NAME}.lib
  COMMAND_ERROR_IS_FATAL ANY)
