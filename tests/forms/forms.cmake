add_executable(forms_tests
  ${CMAKE_CURRENT_LIST_DIR}/values_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/label_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/control_array_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/controls_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form_test.cpp
)
target_link_libraries(forms_tests PRIVATE tw_forms tw_forms_test_main)
gtest_discover_tests(forms_tests DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
