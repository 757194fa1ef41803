add_executable(options_tests
  ${CMAKE_CURRENT_LIST_DIR}/option_values_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frm_options_test.cpp
)
target_link_libraries(options_tests PRIVATE tw_settings tw_forms_test_main)
gtest_discover_tests(options_tests DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
