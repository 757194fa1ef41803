# One executable per input the program reads; each links libFuzzer's main.
add_library(tw_fuzz_support STATIC ${CMAKE_CURRENT_LIST_DIR}/fuzz_support.cpp)
target_link_libraries(tw_fuzz_support PUBLIC tw_runtime)

# tw_fuzz_target(<name> <libraries...>): fuzz/<name>_fuzz.cpp built as the executable <name>.
function(tw_fuzz_target name)
  add_executable(${name} ${CMAKE_CURRENT_LIST_DIR}/${name}_fuzz.cpp)
  target_link_libraries(${name} PRIVATE tw_fuzz_support ${ARGN})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
endfunction()

tw_fuzz_target(reply_reader tw_fuzz_net)
tw_fuzz_target(location_list tw_fuzz_net)
tw_fuzz_target(scanning tw_fuzz_herald)
tw_fuzz_target(server_panel tw_fuzz_herald)
tw_fuzz_target(registry_store tw_fuzz_platform)
tw_fuzz_target(event_log tw_fuzz_history)
tw_fuzz_target(change_detection tw_fuzz_history)
