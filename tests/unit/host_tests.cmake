# The options of hosts that hand the saver a window (xscreensaver's), read by the X11
# program's entry before the Windows switches.
if(NOT WIN32)
  add_executable(orvel_host_tests ${CMAKE_CURRENT_LIST_DIR}/host_arguments_test.cpp)
  target_link_libraries(orvel_host_tests PRIVATE orvel_host_arguments GTest::gtest_main)
  gtest_discover_tests(orvel_host_tests PROPERTIES LABELS unit)
endif()

# The choice between the X11 and the Wayland program.
if(NOT WIN32)
  add_executable(orvel_backend_choice_tests ${CMAKE_CURRENT_LIST_DIR}/backend_choice_test.cpp)
  target_link_libraries(orvel_backend_choice_tests PRIVATE orvel_backend_choice GTest::gtest_main)
  gtest_discover_tests(orvel_backend_choice_tests PROPERTIES LABELS unit)
endif()
