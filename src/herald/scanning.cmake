# The herald's plain data pieces: document scanning, realm vocabulary and the server panel
# model. They form a library of their own, free of the window system, so tests and
# benchmarks use them without Qt; the herald layer links it.
add_library(tw_herald_data STATIC
  ${CMAKE_CURRENT_LIST_DIR}/realm_vocabulary.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scanning.cpp
  ${CMAKE_CURRENT_LIST_DIR}/server_panel.cpp
)
target_include_directories(tw_herald_data PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(tw_herald_data PUBLIC tw_runtime)
target_link_libraries(${TW_TARGET} PUBLIC tw_herald_data)
