# The options of hosts that hand the saver a window (xscreensaver's), read by the X11
# program's entry before the Windows switches.
add_executable(orvel_host_tests ${CMAKE_CURRENT_LIST_DIR}/host_arguments_test.cpp)
target_link_libraries(orvel_host_tests PRIVATE orvel_host_arguments GTest::gtest_main)
gtest_discover_tests(orvel_host_tests PROPERTIES LABELS unit)

# The choice between the X11 and the Wayland program, checked against the entry's own
# reading of the command line (the host options, and the Windows switches of
# command_line.cpp, which has no dependencies and is compiled in).
add_executable(orvel_backend_choice_tests ${CMAKE_CURRENT_LIST_DIR}/backend_choice_test.cpp
  ${PROJECT_SOURCE_DIR}/src/shell/command_line.cpp)
target_link_libraries(orvel_backend_choice_tests PRIVATE orvel_backend_choice orvel_host_arguments GTest::gtest_main)
gtest_discover_tests(orvel_backend_choice_tests PROPERTIES LABELS unit)

# The Wayland program's arithmetic of one picture across outputs of their own densities.
add_executable(orvel_output_geometry_tests ${CMAKE_CURRENT_LIST_DIR}/output_geometry_test.cpp)
target_include_directories(orvel_output_geometry_tests PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(orvel_output_geometry_tests PRIVATE GTest::gtest_main)
gtest_discover_tests(orvel_output_geometry_tests PROPERTIES LABELS unit)

# The pixel format the GLX and EGL bindings pick among the window system's formats.
add_executable(orvel_pixel_format_choice_tests ${CMAKE_CURRENT_LIST_DIR}/pixel_format_choice_test.cpp)
target_link_libraries(orvel_pixel_format_choice_tests PRIVATE orvel_pixel_format_choice GTest::gtest_main)
gtest_discover_tests(orvel_pixel_format_choice_tests PROPERTIES LABELS unit)
