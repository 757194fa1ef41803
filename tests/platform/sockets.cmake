add_executable(platform_sockets_tests
  ${CMAKE_CURRENT_LIST_DIR}/sockets_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sockets_test_main.cpp
)
target_link_libraries(platform_sockets_tests PRIVATE tw_platform Qt6::Core GTest::gtest)
gtest_discover_tests(platform_sockets_tests DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 60)
