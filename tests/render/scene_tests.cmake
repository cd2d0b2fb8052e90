# The whole scene on a headless EGL context: set-up and frames, checked through OpenGL
# state and pixels. Set-up runs once per process, so the program runs twice: once in
# normal and once in low detail.
add_executable(orvel_scene_render_tests scene_frame_test.cpp scene_drawing_test.cpp)
target_link_libraries(orvel_scene_render_tests PRIVATE
  orvel_headless_scene GTest::gtest)
foreach(detail normal low)
  gtest_discover_tests(orvel_scene_render_tests
    TEST_PREFIX "${detail}."
    EXTRA_ARGS --detail=${detail}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS render ENVIRONMENT "LIBGL_ALWAYS_SOFTWARE=1"
  )
endforeach()
