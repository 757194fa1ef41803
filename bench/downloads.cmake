# The reply reader's decoding cost for tiny and large chunks.
add_executable(bench_reply_reader ${CMAKE_CURRENT_LIST_DIR}/reply_reader_bench.cpp)
target_link_libraries(bench_reply_reader PRIVATE tw_net benchmark::benchmark)
