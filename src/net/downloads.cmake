# Downloads: the download object, the HTTP reply reader, the request texts and the location
# list.
target_sources(${TW_TARGET} PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/download.cpp
  ${CMAKE_CURRENT_LIST_DIR}/http_requests.cpp
  ${CMAKE_CURRENT_LIST_DIR}/location_list.cpp
  ${CMAKE_CURRENT_LIST_DIR}/reply_reader.cpp
)
