# The dialogs of platforms without dialog resources, apart from any window system: the
# template held against resources/orvel.rc, dialog units, keys and the mouse on the
# controls, text wrapping and icon images.
add_executable(orvel_dialog_tests ${CMAKE_CURRENT_LIST_DIR}/dialog_model_test.cpp)
target_link_libraries(orvel_dialog_tests PRIVATE orvel_dialog_model GTest::gtest_main)
target_compile_definitions(orvel_dialog_tests PRIVATE ORVEL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
gtest_discover_tests(orvel_dialog_tests PROPERTIES LABELS unit)
