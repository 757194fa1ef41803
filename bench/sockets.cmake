# A timed main rather than Google Benchmark: it must run curl side by side in one process run.
add_executable(bench_socket_throughput ${CMAKE_CURRENT_LIST_DIR}/socket_throughput.cpp)
target_link_libraries(bench_socket_throughput PRIVATE tw_net Qt6::Core)
target_include_directories(bench_socket_throughput PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
