# Desktop stand-ins: registry store, autostart entry, process facts, shell and tray icon.
target_sources(${TW_TARGET} PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/autostart.cpp
  ${CMAKE_CURRENT_LIST_DIR}/notify_icon.cpp
  ${CMAKE_CURRENT_LIST_DIR}/process_facts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/registry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/registry_store.cpp
  ${CMAKE_CURRENT_LIST_DIR}/services.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell.cpp
)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/process_facts.cpp PROPERTIES COMPILE_DEFINITIONS
  "TW_VERSION_MAJOR=${PROJECT_VERSION_MAJOR};TW_VERSION_MINOR=${PROJECT_VERSION_MINOR};TW_VERSION_REVISION=${PROJECT_VERSION_PATCH}")
