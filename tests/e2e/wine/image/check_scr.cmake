# Checks what Windows sees of Orvel.scr before running it: the resources (wrestool -l of
# icoutils: the configure dialog's template is there in Japanese, and the Wine cases use
# it), the name the screen-saver list shows, the manifest, and that the program is a
# 64-bit GUI program that imports only DLLs every Windows has.
#
#   cmake -DSCR=Orvel.scr -DWRESTOOL=wrestool -DOBJDUMP=x86_64-w64-mingw32-objdump
#         -DWORK_DIR=<scratch folder> -P check_scr.cmake
cmake_minimum_required(VERSION 3.25)
foreach(var SCR WRESTOOL OBJDUMP WORK_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "check_scr.cmake: pass -D${var}=...")
  endif()
endforeach()
if(NOT EXISTS "${SCR}")
  message(FATAL_ERROR "${SCR} is missing: build the windows preset first (./test.sh does)")
endif()
file(MAKE_DIRECTORY "${WORK_DIR}")

set(failures 0)
macro(problem text)
  message("check_scr: ${text}")
  math(EXPR failures "${failures} + 1")
endmacro()

# --- The resource list.
execute_process(COMMAND "${WRESTOOL}" -l "${SCR}" OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "wrestool -l ${SCR} failed")
endif()
foreach(wanted
    "--type=2 --name=104 " "--type=2 --name=106 " "--type=2 --name=108 "
    "--type=14 --name=103 " "--type=5 --name=2003 --language=1041 " "--type=6 --name=1 "
    "--type=16 --name=1 " "--type=24 --name=1 ")
  string(FIND "${listing}" "${wanted}" at)
  if(at EQUAL -1)
    problem("no resource ${wanted}in:\n${listing}")
  endif()
endforeach()
foreach(unwanted "--type=3 --name=100 " "--type=14 --name=100 ")
  string(FIND "${listing}" "${unwanted}" at)
  if(NOT at EQUAL -1)
    problem("resource ${unwanted}should not exist: the window class has no icon")
  endif()
endforeach()

function(extract type name out)
  set(file "${WORK_DIR}/resource-${type}-${name}.bin")
  execute_process(COMMAND "${WRESTOOL}" -x --raw "--type=${type}" "--name=${name}" -o "${file}" "${SCR}"
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT EXISTS "${file}")
    message(FATAL_ERROR "cannot extract resource ${type}/${name}")
  endif()
  file(READ "${file}" hex HEX)
  set(${out} "${hex}" PARENT_SCOPE)
endfunction()

# UTF-16LE of ASCII text, in hex.
function(utf16 text out)
  set(hex "")
  string(LENGTH "${text}" length)
  if(length GREATER 0)
    math(EXPR last "${length} - 1")
    foreach(i RANGE ${last})
      string(SUBSTRING "${text}" ${i} 1 c)
      string(HEX "${c}" h)
      string(APPEND hex "${h}00")
    endforeach()
  endif()
  set(${out} "${hex}" PARENT_SCOPE)
endfunction()

# --- String 1, the name in the screen-saver list: the first block's second string.
extract(6 1 strings)
utf16("Orvel" name)
string(FIND "${strings}" "00000500${name}" at)
if(NOT at EQUAL 0)
  problem("string 1 is not \"Orvel\"")
endif()

# --- The manifest.
extract(24 1 manifestHex)
file(READ "${WORK_DIR}/resource-24-1.bin" manifest)
foreach(wanted "PerMonitorV2" "true/pm" "asInvoker")
  string(FIND "${manifest}" "${wanted}" at)
  if(at EQUAL -1)
    problem("the manifest does not say ${wanted}")
  endif()
endforeach()

# --- A 64-bit GUI program importing only system DLLs. The input-method and network
# provider libraries are loaded by name when needed, never imported.
execute_process(COMMAND "${OBJDUMP}" -p "${SCR}" OUTPUT_VARIABLE headers RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${SCR} failed")
endif()
if(NOT headers MATCHES "Magic[ \t]+020b")
  problem("not a PE32+ (64-bit) program")
endif()
if(NOT headers MATCHES "Subsystem[ \t]+00000002")
  problem("not a GUI program: it would open a console window")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
set(system_dlls kernel32.dll user32.dll gdi32.dll advapi32.dll opengl32.dll msvcrt.dll)
foreach(line IN LISTS imports)
  string(REGEX REPLACE "DLL Name: *" "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" lower)
  if(NOT lower IN_LIST system_dlls)
    problem("imports ${dll}, which is not a DLL every Windows has, or should be loaded at run time")
  endif()
endforeach()
list(LENGTH imports count)
message("check_scr: ${count} imported DLLs: ${imports}")

if(failures GREATER 0)
  message(FATAL_ERROR "check_scr: ${failures} problems with ${SCR}")
endif()
message("check_scr: ${SCR} is as it should be")
