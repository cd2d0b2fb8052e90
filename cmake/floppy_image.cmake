# Run by cpack after the Windows .zip (CPACK_POST_BUILD_SCRIPTS, set by
# package_generator.cmake): the package of the Windows 95 family, a 1.44 MB floppy image
# made with mtools, holding what the x86 build installs as the component floppy
# (Orvel.scr and INSTALL.TXT), in the packages' folder beside the .zip.
#
# The same files give the same image: the disk's time stamps are Orvel.scr's modification
# time (or SOURCE_DATE_EPOCH when it is set), and its serial number is made from that time.
set(build "${CPACK_ORVEL_FLOPPY_BUILD}")
set(stage "${CPACK_TOPLEVEL_DIRECTORY}/floppy")
set(image "${CPACK_PACKAGE_DIRECTORY}/${CPACK_ORVEL_FLOPPY_IMAGE}")

foreach(tool IN ITEMS CPACK_ORVEL_MFORMAT CPACK_ORVEL_MCOPY)
  if(NOT EXISTS "${${tool}}")
    message(FATAL_ERROR "mtools is missing, which makes the floppy image: install Debian's mtools "
                        "(apt-get install mtools), then configure the linux preset again")
  endif()
endforeach()
if(NOT EXISTS "${build}/cmake_install.cmake")
  message(FATAL_ERROR "${build} is not configured: build the windows-x86 preset before the packages")
endif()

file(REMOVE_RECURSE "${stage}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${build}" --component floppy --prefix "${stage}"
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot install the component floppy of ${build}: ${output}")
endif()
file(GLOB files RELATIVE "${stage}" "${stage}/*")
list(SORT files)
if(NOT files STREQUAL "INSTALL.TXT;Orvel.scr")
  message(FATAL_ERROR "the component floppy of ${build} holds '${files}', not INSTALL.TXT and Orvel.scr")
endif()

if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
else()
  file(TIMESTAMP "${stage}/Orvel.scr" epoch "%s" UTC)
  set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
endif()
math(EXPR serial "${epoch} & 0xFFFFFFFF" OUTPUT_FORMAT HEXADECIMAL)
string(REPLACE "0x" "" serial "${serial}")

# One mtools command; on failure no half-made image is left.
function(mtools)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    file(REMOVE "${image}")
    message(FATAL_ERROR "${ARGN} failed: ${output}")
  endif()
endfunction()

file(REMOVE "${image}")
# -C creates the image file; -f 1440 makes it a 3.5-inch 1.44 MB disk.
mtools("${CPACK_ORVEL_MFORMAT}" -i "${image}" -C -f 1440 -v ORVEL -N "${serial}" ::)
mtools("${CPACK_ORVEL_MCOPY}" -i "${image}" "${stage}/Orvel.scr" "${stage}/INSTALL.TXT" ::)
message("CPack: - package: ${image} generated.")
