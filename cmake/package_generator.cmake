# Read by cpack for each generator of cmake/packages.cmake, with CPACK_GENERATOR set to
# that one: the builds and the component each package takes.
if(CPACK_GENERATOR STREQUAL "DEB")
  # The Linux build's programs, stripped of their debugging information, and the files
  # Debian asks for besides.
  set(CPACK_INSTALL_CMAKE_PROJECTS "${CPACK_ORVEL_LINUX_BUILD};Orvel;linux;/;${CPACK_ORVEL_LINUX_BUILD};Orvel;debian;/")
  set(CPACK_STRIP_FILES ON)
elseif(CPACK_GENERATOR STREQUAL "ZIP")
  # Both Windows builds; their Orvel.scr are stripped by their own link.
  set(CPACK_INSTALL_CMAKE_PROJECTS "")
  foreach(build IN LISTS CPACK_ORVEL_WINDOWS_BUILDS)
    if(NOT EXISTS "${build}/cmake_install.cmake")
      message(FATAL_ERROR "${build} is not configured: build the windows and windows-x86 presets before the packages "
                          "(cmake --preset windows && cmake --build --preset windows, the same for windows-x86)")
    endif()
    list(APPEND CPACK_INSTALL_CMAKE_PROJECTS "${build}" Orvel windows /)
  endforeach()
  set(CPACK_PACKAGE_FILE_NAME "Orvel-${CPACK_PACKAGE_VERSION}-windows")
  set(CPACK_STRIP_FILES OFF)
  # Then the floppy image of the Windows 95 family, from the x86 build.
  set(CPACK_POST_BUILD_SCRIPTS "${CPACK_ORVEL_FLOPPY_SCRIPT}")
endif()
