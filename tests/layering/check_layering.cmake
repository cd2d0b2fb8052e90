# Checks the include layering of src/: every #include "..." in src/**/*.h and src/**/*.cpp
# must name a header of the including file's own folder or of a folder of strictly lower
# level. platform and scene (0) are at the bottom, then gfx and saver (1), frame (2) and
# shell (3). Nothing in src/platform includes anything outside src/platform, and nothing
# in src/ includes anything from tools/.
#
#   cmake -DSOURCE_DIR=<tree holding src/ and tools/> -P check_layering.cmake
#
# Prints one line per bad include, naming the file and the include, and fails if there
# is any.
if(NOT DEFINED SOURCE_DIR)
  message(FATAL_ERROR "check_layering.cmake: pass -DSOURCE_DIR=<the project's source tree>")
endif()
cmake_path(ABSOLUTE_PATH SOURCE_DIR NORMALIZE OUTPUT_VARIABLE root)
set(src "${root}/src")

set(level_platform 0)
set(level_scene 0)
set(level_gfx 1)
set(level_saver 1)
set(level_frame 2)
set(level_shell 3)

# The folder of src/ that `path` (absolute, normalized) lies in, or "" when it lies in
# none: outside src/, or directly in it.
function(src_folder path out)
  set(folder "")
  cmake_path(IS_PREFIX src "${path}" NORMALIZE inside)
  if(inside)
    cmake_path(RELATIVE_PATH path BASE_DIRECTORY "${src}" OUTPUT_VARIABLE relative)
    if(relative MATCHES "^([^/]+)/")
      set(folder "${CMAKE_MATCH_1}")
    endif()
  endif()
  set(${out} "${folder}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE files LIST_DIRECTORIES false "${src}/*.h" "${src}/*.cpp")
list(SORT files)
list(LENGTH files file_count)
if(file_count EQUAL 0)
  message(FATAL_ERROR "check_layering.cmake: no .h or .cpp files under ${src}")
endif()

set(violations 0)
macro(violation text)
  message("layering: ${shown}: ${text}")
  math(EXPR violations "${violations} + 1")
endmacro()

foreach(file IN LISTS files)
  cmake_path(RELATIVE_PATH file BASE_DIRECTORY "${root}" OUTPUT_VARIABLE shown)
  src_folder("${file}" from)
  if(from STREQUAL "" OR NOT DEFINED level_${from})
    violation("lies outside the layered folders (platform, scene, gfx, saver, frame, shell)")
    continue()
  endif()

  cmake_path(GET file PARENT_PATH file_dir)
  file(STRINGS "${file}" directives REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
  foreach(directive IN LISTS directives)
    if(directive MATCHES "^[ \t]*#[ \t]*include[ \t]*<(tools/[^>]*)>")
      violation("#include <${CMAKE_MATCH_1}> reaches into tools/")
      continue()
    elseif(NOT directive MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\"")
      continue()
    endif()
    set(name "${CMAKE_MATCH_1}")
    set(what "#include \"${name}\"")

    # Quoted includes are looked up beside the including file first, then from src/.
    cmake_path(APPEND file_dir "${name}" OUTPUT_VARIABLE beside)
    cmake_path(NORMAL_PATH beside)
    if(EXISTS "${beside}")
      set(target "${beside}")
    else()
      cmake_path(APPEND src "${name}" OUTPUT_VARIABLE target)
      cmake_path(NORMAL_PATH target)
    endif()

    cmake_path(IS_PREFIX root "${target}" NORMALIZE in_root)
    if(in_root)
      cmake_path(RELATIVE_PATH target BASE_DIRECTORY "${root}" OUTPUT_VARIABLE target_shown)
    else()
      set(target_shown "${target}")
    endif()
    src_folder("${target}" to)

    if(name MATCHES "(^|/)tools/" OR target_shown MATCHES "^tools/")
      violation("${what} reaches into tools/")
    elseif(to STREQUAL from)
      # Its own folder.
    elseif(from STREQUAL "platform")
      violation("${what}: src/platform includes nothing outside src/platform")
    elseif(to STREQUAL "")
      if(target_shown MATCHES "^src/")
        violation("${what} names a header outside the layered folders of src/")
      endif()
      # Anything else outside src/ (a generated header, say) is not layered.
    elseif(NOT DEFINED level_${to})
      violation("${what} names src/${to}, which has no level")
    elseif(NOT level_${to} LESS level_${from})
      if(level_${to} EQUAL level_${from})
        set(direction "sideways")
      else()
        set(direction "upwards")
      endif()
      violation("${what} runs ${direction}: ${from} (level ${level_${from}}) may include only its own folder and lower levels, not ${to} (level ${level_${to}})")
    endif()
  endforeach()
endforeach()

if(violations GREATER 0)
  message(FATAL_ERROR "check_layering.cmake: ${violations} include(s) break the layering of src/")
endif()
message(STATUS "check_layering.cmake: ${file_count} files under src/ keep to their layers")
