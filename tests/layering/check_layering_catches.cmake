# Runs check_layering.cmake on bad_tree/, a small tree whose src/ breaks every rule once
# beside includes that are allowed, and fails unless exactly the bad includes are named.
#
#   cmake -DCHECKER=<check_layering.cmake> -DBAD_TREE=<bad_tree> -P check_layering_catches.cmake
execute_process(
  COMMAND "${CMAKE_COMMAND}" "-DSOURCE_DIR=${BAD_TREE}" -P "${CHECKER}"
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output
)
if(result EQUAL 0)
  message(FATAL_ERROR "the layering check passed a tree that breaks the layering:\n${output}")
endif()

set(expected
  "src/extra/loose.h: lies outside the layered folders"
  "src/frame/driver.cpp: #include \"shell/main.h\" runs upwards"
  "src/frame/driver.cpp: #include \"../../tools/render/png.h\" reaches into tools/"
  "src/gfx/texture.cpp: #include \"saver/timer.h\" runs sideways"
  "src/platform/window.h: #include \"scene/math.h\": src/platform includes nothing outside"
  "src/scene/math.h: #include \"platform/handles.h\" runs sideways"
  "src/scene/random.h: #include \"gfx/texture.h\" runs upwards"
  "src/shell/main.h: #include <tools/render/png.h> reaches into tools/"
)
set(missing "")
foreach(line IN LISTS expected)
  string(FIND "${output}" "layering: ${line}" at)
  if(at EQUAL -1)
    string(APPEND missing "\n  ${line}")
  endif()
endforeach()
string(REGEX MATCHALL "(^|\n)layering: " reported "${output}")
list(LENGTH reported reported_count)
list(LENGTH expected expected_count)
if(NOT missing STREQUAL "" OR NOT reported_count EQUAL expected_count)
  message(FATAL_ERROR "expected ${expected_count} bad includes, got ${reported_count}; not named:${missing}\n"
                      "output:\n${output}")
endif()
