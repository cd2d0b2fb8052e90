# The release packages, made by CPack from the Linux build once the windows and
# windows-x86 presets are built too: `cmake --build --preset package` (the package
# target of build/linux) writes them into build/linux/packages/.
#
# - orvel_<version>_<arch>.deb: what the Linux build installs as the
#   components linux and debian: the X11 program in /usr/libexec/xscreensaver with
#   /usr/bin/orvel beside it, and orvel-wayland, to which it hands over under a Wayland
#   compositor, where the build makes it; xscreensaver's description, the menu entry and
#   its icon; the compressed manual page, the copyright file and the changelog; its
#   library dependencies found by dpkg-shlibdeps.
# - Orvel-<version>-windows.zip: what build/windows and build/windows-x86 install as the
#   component windows: x64/Orvel.scr, x86/Orvel.scr and Install.txt.
# - Orvel-<version>-win9x-floppy.img: for the Windows 95 family, which opens no .zip
#   without an add-on, a 1.44 MB floppy image made with mtools after the .zip
#   (floppy_image.cmake), holding what build/windows-x86 installs as the component
#   floppy: Orvel.scr and INSTALL.TXT.
#
# cpack runs once for each generator; package_generator.cmake then says which builds
# and which component it takes.
set(CPACK_PACKAGE_NAME Orvel)
set(CPACK_PACKAGE_VENDOR "Orvel team")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Animated OpenGL screen saver: glowing rings, sparks, grids and motes")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_GENERATOR DEB ZIP)
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/package_generator.cmake)

# Where the generators take their files from (read by package_generator.cmake).
set(CPACK_ORVEL_LINUX_BUILD ${CMAKE_BINARY_DIR})
set(CPACK_ORVEL_WINDOWS_BUILDS ${PROJECT_SOURCE_DIR}/build/windows ${PROJECT_SOURCE_DIR}/build/windows-x86)

# The floppy image: the x86 build, the image's name and the tools that make it.
find_program(ORVEL_MFORMAT mformat)
find_program(ORVEL_MCOPY mcopy)
set(CPACK_ORVEL_FLOPPY_BUILD ${PROJECT_SOURCE_DIR}/build/windows-x86)
set(CPACK_ORVEL_FLOPPY_IMAGE Orvel-${PROJECT_VERSION}-win9x-floppy.img)
set(CPACK_ORVEL_FLOPPY_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/floppy_image.cmake)
set(CPACK_ORVEL_MFORMAT ${ORVEL_MFORMAT})
set(CPACK_ORVEL_MCOPY ${ORVEL_MCOPY})

# The .deb is a native package: Orvel makes it from its own tree, so its version is the
# project's, without a Debian revision, and its changelog is changelog.gz. The maintainer
# comes from that changelog, whose latest entry must be for this version:
# "orvel (<version>) ...", signed " -- Name <address>  date".
set(changelog ${PROJECT_SOURCE_DIR}/resources/debian/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${changelog})
file(STRINGS ${changelog} changelog_lines)
list(GET changelog_lines 0 changelog_head)
string(REPLACE "." "\\." version_pattern ${PROJECT_VERSION})
if(NOT changelog_head MATCHES "^orvel \\(${version_pattern}\\) ")
  message(FATAL_ERROR "${changelog}: the latest entry is not for version ${PROJECT_VERSION}: ${changelog_head}")
endif()
set(maintainer "")
foreach(line IN LISTS changelog_lines)
  if(line MATCHES "^ -- ([^<]+ <[^>]+>)  ")
    set(maintainer ${CMAKE_MATCH_1})
    break()
  endif()
endforeach()
if(NOT maintainer)
  message(FATAL_ERROR "${changelog}: the latest entry is signed by no \" -- Name <address>  date\" line")
endif()

set(CPACK_DEBIAN_PACKAGE_NAME orvel)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${maintainer})
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The summary above is the first line; CPack indents these and marks the empty one.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Orvel draws two tilted rings of glowing sprites that turn while their colours
and sizes pulse, sparks rising from the inner ring, translucent grid planes and
a thousand pale motes, seen by an orbiting camera.

It runs as an xscreensaver display mode (orvel --root), full screen on its own
(orvel /s), or in an ordinary window (orvel --window).")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xscreensaver)

include(CPack)
