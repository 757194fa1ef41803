add_executable(about_tests
  ${CMAKE_CURRENT_LIST_DIR}/frm_splash_test.cpp
)
target_link_libraries(about_tests PRIVATE tw_about tw_forms_test_main)
gtest_discover_tests(about_tests DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)

# Renders the options dialog and the about box into PNGs (docs/options.png, docs/about.png);
# not a test.
add_executable(dialog_screenshots ${CMAKE_CURRENT_LIST_DIR}/dialog_screenshots.cpp)
target_link_libraries(dialog_screenshots PRIVATE tw_about tw_settings)
