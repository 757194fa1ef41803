# The plain code the targets drive, one library per source folder, listing only the files
# that hold no Qt. tw_runtime comes from src/runtime itself.
set(TW_SRC ${PROJECT_SOURCE_DIR}/src)

add_library(tw_fuzz_platform STATIC
  ${TW_SRC}/platform/autostart.cpp
  ${TW_SRC}/platform/files.cpp
  ${TW_SRC}/platform/registry.cpp
  ${TW_SRC}/platform/registry_store.cpp
)
target_link_libraries(tw_fuzz_platform PUBLIC tw_runtime)

add_library(tw_fuzz_herald STATIC
  ${TW_SRC}/herald/realm_vocabulary.cpp
  ${TW_SRC}/herald/scanning.cpp
  ${TW_SRC}/herald/server_panel.cpp
)
target_link_libraries(tw_fuzz_herald PUBLIC tw_runtime)

add_library(tw_fuzz_history STATIC
  ${TW_SRC}/history/change_detection.cpp
  ${TW_SRC}/history/event_fields.cpp
  ${TW_SRC}/history/event_log.cpp
  ${TW_SRC}/history/history_filter.cpp
)
target_link_libraries(tw_fuzz_history PUBLIC tw_fuzz_herald tw_fuzz_platform)

add_library(tw_fuzz_net STATIC
  ${TW_SRC}/net/http_requests.cpp
  ${TW_SRC}/net/location_list.cpp
  ${TW_SRC}/net/reply_reader.cpp
)
target_link_libraries(tw_fuzz_net PUBLIC tw_runtime)
