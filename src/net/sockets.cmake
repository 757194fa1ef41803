target_sources(${TW_TARGET} PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/c_socket.cpp
  ${CMAKE_CURRENT_LIST_DIR}/c_socket_data.cpp
  ${CMAKE_CURRENT_LIST_DIR}/c_socket_listen.cpp
  ${CMAKE_CURRENT_LIST_DIR}/socket_error_texts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/socket_support.cpp
)
