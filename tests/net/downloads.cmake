add_executable(net_downloads_tests
  ${CMAKE_CURRENT_LIST_DIR}/reply_reader_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/request_texts_test.cpp
)
target_link_libraries(net_downloads_tests PRIVATE tw_net GTest::gtest_main)
gtest_discover_tests(net_downloads_tests DISCOVERY_TIMEOUT 60)
