add_executable(platform_desktop_tests
  autostart_test.cpp
  notify_icon_test.cpp
  process_facts_test.cpp
  registry_store_test.cpp
  registry_test.cpp
)
target_link_libraries(platform_desktop_tests PRIVATE tw_platform tw_qt_test_main)
gtest_discover_tests(platform_desktop_tests DISCOVERY_TIMEOUT 60
                     PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
