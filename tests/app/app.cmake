add_executable(app_tests frm_main_test.cpp qt_test_main.cpp)
target_link_libraries(app_tests PRIVATE tw_app GTest::gtest)
gtest_discover_tests(app_tests DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
