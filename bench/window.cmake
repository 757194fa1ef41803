add_executable(window_bench ${CMAKE_CURRENT_LIST_DIR}/window_bench.cpp)
target_include_directories(window_bench PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(window_bench PRIVATE tw_app benchmark::benchmark)
