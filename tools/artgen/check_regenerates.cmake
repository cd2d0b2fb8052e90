# Runs orvel-artgen into OUT_DIR and checks that every file it writes matches the copy
# kept in REFERENCE_DIR byte for byte.
#   cmake -DARTGEN=... -DOUT_DIR=... -DREFERENCE_DIR=... -P check_regenerates.cmake
foreach(var ARTGEN OUT_DIR REFERENCE_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE "${OUT_DIR}")
execute_process(COMMAND "${ARTGEN}" "${OUT_DIR}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "orvel-artgen failed: ${result}")
endif()

set(mismatches "")
foreach(name glow.bmp banner.bmp grid.bmp orvel.ico orvel.png)
  if(NOT EXISTS "${OUT_DIR}/${name}")
    list(APPEND mismatches "${name} (not written)")
  elseif(NOT EXISTS "${REFERENCE_DIR}/${name}")
    list(APPEND mismatches "${name} (missing from ${REFERENCE_DIR})")
  else()
    execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${OUT_DIR}/${name}" "${REFERENCE_DIR}/${name}"
                    RESULT_VARIABLE differs)
    if(NOT differs EQUAL 0)
      list(APPEND mismatches "${name} (differs)")
    endif()
  endif()
endforeach()

if(mismatches)
  list(JOIN mismatches ", " text)
  message(FATAL_ERROR "regenerated artwork does not match ${REFERENCE_DIR}: ${text}")
endif()
message(STATUS "all five artwork files match")
