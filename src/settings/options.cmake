target_sources(${TW_TARGET} PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/option_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frm_options.cpp
)
