target_sources(${TW_TARGET} PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/change_detection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/event_fields.cpp
  ${CMAKE_CURRENT_LIST_DIR}/event_log.cpp
  ${CMAKE_CURRENT_LIST_DIR}/history_filter.cpp
)
