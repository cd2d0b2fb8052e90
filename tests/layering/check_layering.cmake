# Checks the include layering of src/: every #include "..." in src/**/*.h and src/**/*.cpp
# must name a header of the including file's own folder or of a folder of strictly lower
# level. platform and scene (0) are at the bottom, then gfx and saver (1), frame (2) and
# shell (3). Nothing in src/platform includes anything outside src/platform, and nothing
# in src/ includes anything from tools/.
#
# src/platform is split further, in three floors of its own:
# - the seam: the headers directly in src/platform, which the portable code calls. They
#   include only each other, and no code lies beside them;
# - the kit: the parts the backends share, in src/platform/<kit>/ (common, posix,
#   dialog_model). A kit file includes the seam and the kit, never a backend;
# - the backends, each in a folder of its own, src/platform/<backend>/ (subfolders
#   included). A backend includes its own folder, the kit and the seam: never another
#   backend, and nothing else in src/.
# The portable folders (scene, gfx, saver, frame, shell) may include the seam only,
# never the kit or a backend. A subfolder of src/platform that is neither a known kit
# folder nor a known backend is itself an error.
#
#   cmake -DSOURCE_DIR=<tree holding src/ and tools/> -P check_layering.cmake
#
# Prints one line per bad include, naming the file and the include, and fails if there
# is any.
cmake_minimum_required(VERSION 3.25)
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

set(backends headless x11 win32 wayland)
set(kits common posix dialog_model)
set(platform_parts ${kits} ${backends})
list(JOIN platform_parts ", " known_parts)

# Where `path` (absolute, normalized) lies in src/: `folder` is its folder of src/, or ""
# when it lies in none (outside src/, or directly in it). For src/platform, `part` is the
# subfolder it lies in, or "" for the files directly in src/platform (the seam).
function(src_place path folder_out part_out)
  set(folder "")
  set(part "")
  cmake_path(IS_PREFIX src "${path}" NORMALIZE inside)
  if(inside)
    cmake_path(RELATIVE_PATH path BASE_DIRECTORY "${src}" OUTPUT_VARIABLE relative)
    if(relative MATCHES "^([^/]+)/")
      set(folder "${CMAKE_MATCH_1}")
    endif()
    if(relative MATCHES "^platform/([^/]+)/")
      set(part "${CMAKE_MATCH_1}")
    endif()
  endif()
  set(${folder_out} "${folder}" PARENT_SCOPE)
  set(${part_out} "${part}" PARENT_SCOPE)
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
  src_place("${file}" from from_part)
  if(from STREQUAL "" OR NOT DEFINED level_${from})
    violation("lies outside the layered folders (platform, scene, gfx, saver, frame, shell)")
    continue()
  endif()
  # A file in an unknown subfolder of src/platform has no rules its includes could be
  # held to, so only the folder itself is reported.
  if(NOT from_part STREQUAL "" AND NOT from_part IN_LIST platform_parts)
    violation("lies in src/platform/${from_part}, which is neither a kit nor a backend folder (known: ${known_parts})")
    continue()
  endif()
  if(from STREQUAL "platform" AND from_part STREQUAL "" AND NOT file MATCHES "\\.h$")
    violation("is code at the top of src/platform, which holds the seam's headers only: code lies in the kit or a backend")
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
    src_place("${target}" to to_part)

    # What the include lands in, for the messages: a folder of src/ (or of src/platform),
    # or the header itself when it lies in no folder of src/.
    if(to STREQUAL "")
      set(landing "${target_shown}")
    elseif(NOT to_part STREQUAL "")
      set(landing "src/platform/${to_part}")
    else()
      set(landing "src/${to}")
    endif()

    if(name MATCHES "(^|/)tools/" OR target_shown MATCHES "^tools/")
      violation("${what} reaches into tools/")
    elseif(to STREQUAL "platform" AND NOT to_part STREQUAL "" AND NOT to_part IN_LIST platform_parts)
      violation("${what} names ${landing}, which is neither a kit nor a backend folder (known: ${known_parts})")
    elseif(from_part IN_LIST backends)
      # A backend: its own folder, the kit and the seam, nothing else.
      set(rule "src/platform/${from_part} may include only its own folder, the kit and the seam, not ${landing}")
      if(to STREQUAL "platform" AND (to_part STREQUAL "" OR to_part STREQUAL from_part OR to_part IN_LIST kits))
        # The seam, the kit, or its own folder.
      elseif(to STREQUAL "platform")
        violation("${what} reaches into another backend: ${rule}")
      else()
        violation("${what} reaches outside src/platform: ${rule}")
      endif()
    elseif(from_part IN_LIST kits)
      # The kit: the seam and the kit, never a backend.
      if(to STREQUAL "platform" AND (to_part STREQUAL "" OR to_part IN_LIST kits))
        # The seam or the kit.
      elseif(to STREQUAL "platform")
        violation("${what} reaches into a backend: the kit (src/platform/${from_part}) may include only the kit and the seam, not ${landing}")
      else()
        violation("${what} reaches outside src/platform: the kit (src/platform/${from_part}) may include only the kit and the seam, not ${landing}")
      endif()
    elseif(to STREQUAL "platform" AND NOT to_part STREQUAL "")
      # The kit or a backend, included from the seam or from portable code: the seam lies
      # below both, and portable code reaches the platform through the seam only.
      if(to_part IN_LIST kits)
        set(kind "the kit")
      else()
        set(kind "a backend")
      endif()
      if(from STREQUAL "platform")
        violation("${what} reaches into ${kind}: the files directly in src/platform (the seam) may include only each other, not ${landing}")
      else()
        violation("${what} reaches into ${kind}: ${from} may include only the files directly in src/platform (the seam), not ${landing}")
      endif()
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
