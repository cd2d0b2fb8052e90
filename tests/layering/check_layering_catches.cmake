# Runs check_layering.cmake on bad_tree/, a small tree whose src/ breaks every rule once
# beside includes that are allowed, and fails unless exactly the bad includes are named
# and none of the allowed ones is.
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

# Each bad include, and the start of the line that must name it.
set(expected
  "src/extra/loose.h: lies outside the layered folders"
  "src/frame/driver.cpp: #include \"shell/main.h\" runs upwards"
  "src/frame/driver.cpp: #include \"../../tools/render/png.h\" reaches into tools/"
  "src/gfx/texture.cpp: #include \"saver/timer.h\" runs sideways"
  "src/gfx/texture.cpp: #include \"platform/x11/display.h\" reaches into a backend: gfx may include only the files directly in src/platform"
  "src/gfx/texture.cpp: #include \"platform/common/queue.h\" reaches into the kit: gfx may include only the files directly in src/platform"
  "src/platform/cocoa/view.h: lies in src/platform/cocoa, which is neither a kit nor a backend folder (known: common, posix, dialog_model, headless, x11, win32, wayland)"
  "src/platform/common/queue.h: #include \"platform/x11/display.h\" reaches into a backend: the kit (src/platform/common)"
  "src/platform/headless/clock.cpp: #include \"scene/math.h\" reaches outside src/platform"
  "src/platform/posix/process.h: #include \"scene/math.h\" reaches outside src/platform: the kit"
  "src/platform/wayland/surface.h: #include \"shell/main.h\" reaches outside src/platform"
  "src/platform/window.cpp: is code at the top of src/platform, which holds the seam's headers only"
  "src/platform/window.h: #include \"scene/math.h\": src/platform includes nothing outside"
  "src/platform/window.h: #include \"common/queue.h\" reaches into the kit: the files directly in src/platform (the seam)"
  "src/platform/window_system.h: #include \"x11/display.h\" reaches into a backend"
  "src/platform/window_system.h: #include \"platform/cocoa/view.h\" names src/platform/cocoa, which is neither a kit nor a backend folder"
  "src/platform/x11/display.h: #include \"platform/wayland/surface.h\" reaches into another backend"
  "src/scene/math.h: #include \"platform/handles.h\" runs sideways"
  "src/scene/random.h: #include \"gfx/texture.h\" runs upwards"
  "src/shell/main.h: #include <tools/render/png.h> reaches into tools/"
)

# Includes of bad_tree/ that keep to the rules and must not be named.
set(allowed
  # A backend: its own folder, from src/ or beside, the kit and the seam.
  "src/platform/x11/display.h: #include \"platform/x11/connection.h\""
  "src/platform/x11/display.h: #include \"connection.h\""
  "src/platform/x11/display.h: #include \"platform/handles.h\""
  "src/platform/x11/display.h: #include \"../window.h\""
  "src/platform/x11/connection.h: #include \"../handles.h\""
  "src/platform/wayland/surface.h: #include \"platform/window_system.h\""
  "src/platform/headless/clock.cpp: #include \"clock.h\""
  "src/platform/headless/clock.cpp: #include \"platform/headless/clock.h\""
  "src/platform/headless/clock.cpp: #include \"platform/window.h\""
  "src/platform/x11/display.h: #include \"platform/common/queue.h\""
  "src/platform/x11/display.h: #include \"../posix/process.h\""
  # The kit: the seam and the kit, from src/ or beside.
  "src/platform/common/queue.h: #include \"platform/handles.h\""
  "src/platform/common/queue.h: #include \"platform/posix/process.h\""
  "src/platform/posix/process.h: #include \"../handles.h\""
  # The seam: its own files.
  "src/platform/window.h: #include \"platform/handles.h\""
  "src/platform/window_system.h: #include \"window.h\""
  "src/platform/window.cpp: #include \"window.h\""
  # Portable code: the seam, its own folder and lower levels.
  "src/gfx/texture.cpp: #include \"platform/window.h\""
  "src/gfx/texture.cpp: #include \"platform/window_system.h\""
  "src/gfx/texture.cpp: #include \"scene/math.h\""
  "src/saver/timer.h: #include \"platform/window.h\""
  "src/scene/random.h: #include \"math.h\""
  "src/frame/driver.cpp: #include \"gfx/texture.h\""
  "src/shell/main.h: #include \"frame/driver.h\""
  "src/shell/main.h: #include \"shell/main.h\""
)

set(missing "")
foreach(line IN LISTS expected)
  string(FIND "${output}" "layering: ${line}" at)
  if(at EQUAL -1)
    string(APPEND missing "\n  ${line}")
  endif()
endforeach()
set(wrongly_named "")
foreach(line IN LISTS allowed)
  string(FIND "${output}" "layering: ${line}" at)
  if(NOT at EQUAL -1)
    string(APPEND wrongly_named "\n  ${line}")
  endif()
endforeach()
string(REGEX MATCHALL "(^|\n)layering: " reported "${output}")
list(LENGTH reported reported_count)
list(LENGTH expected expected_count)
if(NOT missing STREQUAL "" OR NOT wrongly_named STREQUAL "" OR NOT reported_count EQUAL expected_count)
  message(FATAL_ERROR "expected ${expected_count} bad includes, got ${reported_count}; not named:${missing}\n"
                      "allowed but named:${wrongly_named}\n"
                      "output:\n${output}")
endif()
