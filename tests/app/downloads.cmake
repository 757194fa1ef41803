# The main window's downloads end to end: a scripted loopback peer, the bundled herald
# simulator and, when installed, a stock web server.
add_executable(downloads_tests
  ${CMAKE_CURRENT_LIST_DIR}/downloads_peer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/downloads_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/downloads_live_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/history_e2e_test.cpp
)
target_link_libraries(downloads_tests PRIVATE tw_app tw_forms_test_main)
target_compile_definitions(downloads_tests PRIVATE HERALD_SIM_PATH="$<TARGET_FILE:herald-sim>")
add_dependencies(downloads_tests herald-sim)
gtest_discover_tests(downloads_tests DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen TIMEOUT 60)
