# The saver shell: the command line and dismissal rules as tables, and the whole chain of
# modes, window procedures, password hooks, configure dialog and the shared message queue
# on the headless platform, with no display.
add_executable(orvel_shell_tests
  ${CMAKE_CURRENT_LIST_DIR}/command_line_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dismissal_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell_test_support.cpp
  ${CMAKE_CURRENT_LIST_DIR}/saver_modes_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/password_chain_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/configure_dialog_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_proc_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_queue_test.cpp
)
target_link_libraries(orvel_shell_tests PRIVATE
  orvel_shell orvel_platform_headless orvel_gl_egl orvel_resources GTest::gtest_main)
gtest_discover_tests(orvel_shell_tests
  DISCOVERY_MODE PRE_TEST
  PROPERTIES LABELS unit ENVIRONMENT "LIBGL_ALWAYS_SOFTWARE=1" TIMEOUT 60)
