# The pictures only need the artwork source and Qt's painting, not the whole application.
add_executable(artwork_tests artwork_test.cpp ${PROJECT_SOURCE_DIR}/src/app/artwork.cpp)
target_link_libraries(artwork_tests PRIVATE Qt6::Gui GTest::gtest)
target_include_directories(artwork_tests PRIVATE ${PROJECT_SOURCE_DIR}/src)
gtest_discover_tests(artwork_tests DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
