# The main window's whole download of a 10 MiB document from the herald simulator, beside
# curl in the same run. A timed main: it must run curl and the simulator side by side.
add_executable(bench_download_e2e ${CMAKE_CURRENT_LIST_DIR}/download_e2e.cpp)
target_link_libraries(bench_download_e2e PRIVATE tw_app Qt6::Widgets)
target_compile_definitions(bench_download_e2e PRIVATE HERALD_SIM_PATH="$<TARGET_FILE:herald-sim>")
add_dependencies(bench_download_e2e herald-sim)
