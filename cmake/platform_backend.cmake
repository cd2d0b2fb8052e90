# The recipe of a platform backend (src/platform/<name>/) and of the parts of one that
# are linked on their own, such as a binding.
#
#   orvel_add_backend(<name> SOURCES <file>... [KIT <library>...] [LIBRARIES <library>...])
#
# makes orvel_platform_<name>, an object library of SOURCES. The portable libraries call
# into a backend, so a program must take its objects whatever the order of its link
# line: an object library's objects are always linked. KIT names the parts of the kit
# (src/platform/common, posix, dialog_model) the backend uses: an object library of the
# kit hands its objects to every consumer of the backend as well, and is built before
# it (objects named that way are not a dependency the build follows, and a build of one
# program alone, --target, must make them first); a static library of the kit is linked.
# LIBRARIES are linked publicly, after the seam's orvel_platform.
#
#   orvel_add_platform_objects(<target> SOURCES ... [KIT ...] [LIBRARIES ...])
#
# is the same recipe for an object library of any name.
function(orvel_add_platform_objects target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;KIT;LIBRARIES")
  if(arg_UNPARSED_ARGUMENTS OR NOT arg_SOURCES)
    message(FATAL_ERROR "orvel_add_platform_objects(${target}): give SOURCES, and KIT and LIBRARIES "
                        "if any; not understood: ${arg_UNPARSED_ARGUMENTS}")
  endif()
  add_library(${target} OBJECT ${arg_SOURCES})
  set(kit_libraries "")
  foreach(part IN LISTS arg_KIT)
    get_target_property(type ${part} TYPE)
    if(type STREQUAL "OBJECT_LIBRARY")
      target_link_libraries(${target} INTERFACE $<TARGET_OBJECTS:${part}>)
      add_dependencies(${target} ${part})
    else()
      list(APPEND kit_libraries ${part})
    endif()
  endforeach()
  target_link_libraries(${target} PUBLIC orvel_platform ${kit_libraries} ${arg_LIBRARIES})
endfunction()

function(orvel_add_backend name)
  orvel_add_platform_objects(orvel_platform_${name} ${ARGN})
endfunction()
