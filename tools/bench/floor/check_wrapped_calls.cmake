# Fails, and removes the program, when it calls a gl* entry point that the recording layer
# does not wrap: such a call would reach OpenGL without being recorded, and the floor would
# replay less than the frame draws.
#
#   cmake -DPROGRAM=<orvel-floor-capture> -DNM=<nm> -DWRAPPED=glBegin,glEnd,... -P check_wrapped_calls.cmake
foreach(var PROGRAM NM WRAPPED)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "check_wrapped_calls.cmake: pass -D${var}=...")
  endif()
endforeach()
string(REPLACE "," ";" wrapped "${WRAPPED}")

execute_process(COMMAND "${NM}" -D --undefined-only "${PROGRAM}"
  OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(REMOVE "${PROGRAM}")
  message(FATAL_ERROR "check_wrapped_calls.cmake: ${NM} failed on ${PROGRAM}")
endif()

string(REPLACE "\n" ";" lines "${symbols}")
set(missing "")
foreach(line IN LISTS lines)
  if(line MATCHES "^[ \t]*U[ \t]+(gl[A-Z][A-Za-z0-9_]*)")
    list(FIND wrapped "${CMAKE_MATCH_1}" at)
    if(at EQUAL -1)
      list(APPEND missing "${CMAKE_MATCH_1}")
    endif()
  endif()
endforeach()
if(missing)
  file(REMOVE "${PROGRAM}")
  list(JOIN missing ", " shown)
  message(FATAL_ERROR "orvel-floor-capture calls OpenGL entry points its recording layer does not wrap: "
                      "${shown}. Add them to tools/bench/floor/recorded_gl_calls.inc.")
endif()
