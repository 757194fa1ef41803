# tw_windows_resources: the version data and the manifest as an object library; every
# Windows executable links it (target_link_libraries(<exe> PRIVATE tw_windows_resources)).
enable_language(RC)
set(TOWERWATCH_MANIFEST ${CMAKE_CURRENT_LIST_DIR}/towerwatch.manifest)
configure_file(${CMAKE_CURRENT_LIST_DIR}/towerwatch.rc.in ${CMAKE_BINARY_DIR}/towerwatch.rc @ONLY)
add_library(tw_windows_resources OBJECT ${CMAKE_BINARY_DIR}/towerwatch.rc)
set_source_files_properties(${CMAKE_BINARY_DIR}/towerwatch.rc PROPERTIES OBJECT_DEPENDS ${TOWERWATCH_MANIFEST})
