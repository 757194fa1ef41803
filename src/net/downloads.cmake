# Downloads: the HTTP reply reader, the request texts and the location list.
target_sources(${TW_TARGET} PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/reply_reader.cpp
)
