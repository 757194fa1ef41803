target_sources(${TW_TARGET} PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/frm_monitoring.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frm_monitoring_rows.cpp
)
