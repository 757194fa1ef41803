add_executable(history_viewer_tests
  ${CMAKE_CURRENT_LIST_DIR}/frm_monitoring_test.cpp
)
target_link_libraries(history_viewer_tests PRIVATE tw_history tw_forms_test_main)
gtest_discover_tests(history_viewer_tests DISCOVERY_TIMEOUT 60
                     PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)

# Renders the viewer over a sample log into a PNG (docs/monitoring.png); not a test.
add_executable(history_viewer_screenshot ${CMAKE_CURRENT_LIST_DIR}/viewer_screenshot.cpp)
target_link_libraries(history_viewer_screenshot PRIVATE tw_history)
