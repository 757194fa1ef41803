target_sources(${TW_TARGET} PRIVATE
  async_select.cpp
  host_resolver.cpp
  message_window.cpp
  qt_event_adapter.cpp
  winsock.cpp
)
