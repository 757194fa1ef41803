target_sources(${TW_TARGET} PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/async_select.cpp
  ${CMAKE_CURRENT_LIST_DIR}/host_resolver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/message_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/qt_event_adapter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/winsock.cpp
)
