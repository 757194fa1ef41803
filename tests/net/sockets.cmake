add_executable(net_sockets_tests
  ${CMAKE_CURRENT_LIST_DIR}/c_socket_data_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/c_socket_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/download_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/socket_support_test.cpp
)
target_link_libraries(net_sockets_tests PRIVATE tw_net tw_qt_test_main)
gtest_discover_tests(net_sockets_tests DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 60)
