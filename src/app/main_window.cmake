target_sources(${TW_TARGET} PRIVATE
  frm_main.cpp
  frm_main_dialogs.cpp
  frm_main_downloads.cpp
  frm_main_history.cpp
  frm_main_panel.cpp
  frm_main_servers.cpp
  frm_main_startup.cpp
  frm_main_tray.cpp
  tray_icon.cpp
)
