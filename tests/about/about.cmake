add_executable(about_tests
  ${CMAKE_CURRENT_LIST_DIR}/about_test_main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frm_splash_test.cpp
)
target_link_libraries(about_tests PRIVATE tw_about GTest::gtest)
gtest_discover_tests(about_tests DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
