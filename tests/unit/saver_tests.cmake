# Unit tests of the frame timer and its rate text, on the headless platform.
add_executable(orvel_saver_tests
  ${CMAKE_CURRENT_LIST_DIR}/frame_timer_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rate_text_test.cpp
)
target_link_libraries(orvel_saver_tests PRIVATE orvel_saver_core orvel_platform_headless GTest::gtest_main)
gtest_discover_tests(orvel_saver_tests PROPERTIES LABELS unit)
