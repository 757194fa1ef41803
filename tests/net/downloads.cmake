add_executable(net_downloads_tests
  ${CMAKE_CURRENT_LIST_DIR}/reply_reader_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/request_texts_test.cpp
)
target_link_libraries(net_downloads_tests PRIVATE tw_net tw_herald GTest::gtest_main)
target_include_directories(net_downloads_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
gtest_discover_tests(net_downloads_tests DISCOVERY_TIMEOUT 60)

# The bundled herald simulator, run as a separate process on a free loopback port.
add_executable(net_herald_sim_tests ${CMAKE_CURRENT_LIST_DIR}/herald_sim_test.cpp)
target_link_libraries(net_herald_sim_tests PRIVATE tw_net GTest::gtest_main)
target_compile_definitions(net_herald_sim_tests PRIVATE HERALD_SIM_PATH="$<TARGET_FILE:herald-sim>")
add_dependencies(net_herald_sim_tests herald-sim)
gtest_discover_tests(net_herald_sim_tests DISCOVERY_TIMEOUT 60)
