# The frame driver, animation and emission, run on the headless platform. Most cases need
# no rendering context: without one the OpenGL calls do nothing.
add_executable(orvel_frame_tests
  frame_test_support.cpp
  scene_animation_test.cpp
  particle_emission_test.cpp
  frame_driver_test.cpp
  texture_drift_test.cpp
)
target_link_libraries(orvel_frame_tests PRIVATE
  orvel_frame orvel_platform_headless orvel_gl_egl GTest::gtest_main)
gtest_discover_tests(orvel_frame_tests PROPERTIES LABELS unit)
