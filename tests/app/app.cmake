add_executable(app_tests frm_main_test.cpp server_list_test.cpp)
target_link_libraries(app_tests PRIVATE tw_app tw_forms_test_main)
target_compile_definitions(app_tests PRIVATE TW_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
gtest_discover_tests(app_tests DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)

add_test(NAME TowerwatchStartsAndEndsOnSigterm
         COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/start_and_stop.sh $<TARGET_FILE:towerwatch>)
set_tests_properties(TowerwatchStartsAndEndsOnSigterm PROPERTIES TIMEOUT 60)
