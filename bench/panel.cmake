add_executable(panel_bench ${CMAKE_CURRENT_LIST_DIR}/panel_bench.cpp)
target_include_directories(panel_bench PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(panel_bench PRIVATE tw_herald_data benchmark::benchmark benchmark::benchmark_main)
