target_sources(${TW_TARGET} PRIVATE ${CMAKE_CURRENT_LIST_DIR}/artwork.cpp)
