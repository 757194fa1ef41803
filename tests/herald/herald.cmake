add_executable(herald_tests
  ${CMAKE_CURRENT_LIST_DIR}/realm_vocabulary_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scanning_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/server_panel_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/server_panel_documents_test.cpp
)
target_link_libraries(herald_tests PRIVATE tw_herald_data GTest::gtest_main)
target_compile_definitions(herald_tests PRIVATE TW_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
gtest_discover_tests(herald_tests DISCOVERY_TIMEOUT 60)
