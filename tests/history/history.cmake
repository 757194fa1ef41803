add_executable(history_tests
  ${CMAKE_CURRENT_LIST_DIR}/change_detection_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/event_log_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/history_filter_test.cpp
)
target_link_libraries(history_tests PRIVATE tw_history GTest::gtest_main)
gtest_discover_tests(history_tests DISCOVERY_TIMEOUT 60)
