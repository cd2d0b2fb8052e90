# The settings file on POSIX systems: its text rules, the file itself and the XDG
# directory. The test file supplies platformSettingsDirectory, so no platform is linked.
add_executable(orvel_profile_tests ${CMAKE_CURRENT_LIST_DIR}/profile_test.cpp)
target_link_libraries(orvel_profile_tests PRIVATE orvel_profile_posix GTest::gtest_main)
gtest_discover_tests(orvel_profile_tests PROPERTIES LABELS unit)
