# Checks on what orvel-render writes: it runs the built tool into a scratch directory
# under the build tree and reads the PNG frames back.
find_package(PNG REQUIRED)

add_executable(orvel_render_tool_tests ${CMAKE_CURRENT_LIST_DIR}/render_tool_test.cpp)
target_compile_definitions(orvel_render_tool_tests PRIVATE
  "ORVEL_RENDER_PATH=\"$<TARGET_FILE:orvel-render>\""
  "ORVEL_RENDER_SCRATCH=\"${CMAKE_CURRENT_BINARY_DIR}/render_tool_output\""
)
target_link_libraries(orvel_render_tool_tests PRIVATE PNG::PNG GTest::gtest GTest::gtest_main)
add_dependencies(orvel_render_tool_tests orvel-render)

gtest_discover_tests(orvel_render_tool_tests
  DISCOVERY_MODE PRE_TEST
  PROPERTIES LABELS render ENVIRONMENT "LIBGL_ALWAYS_SOFTWARE=1"
)
