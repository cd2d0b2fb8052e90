# The release packages, made by CPack from the Linux build once the windows and
# windows-x86 presets are built too: `cmake --build --preset package` (the package
# target of build/linux) writes both into build/linux/packages/.
#
# - orvel_<version>_<arch>.deb: what the Linux build installs as the component linux:
#   the X11 program in /usr/libexec/xscreensaver with /usr/bin/orvel beside it, and
#   orvel-wayland, to which it hands over under a Wayland compositor, where the build
#   makes it; xscreensaver's description and the manual page; its library dependencies
#   found by dpkg-shlibdeps.
# - Orvel-<version>-windows.zip: what build/windows and build/windows-x86 install as the
#   component windows: x64/Orvel.scr, x86/Orvel.scr and Install.txt.
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

set(CPACK_DEBIAN_PACKAGE_NAME orvel)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Orvel team")
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
