target_sources(${TW_TARGET} PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/about_texts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/donation_picture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frm_splash.cpp
)
