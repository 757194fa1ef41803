# tw_windows_resources: the version data and the manifest as an object library; every
# Windows executable links it (target_link_libraries(<exe> PRIVATE tw_windows_resources)).
enable_language(RC)
set(TOWERWATCH_MANIFEST ${CMAKE_CURRENT_LIST_DIR}/towerwatch.manifest)
configure_file(${CMAKE_CURRENT_LIST_DIR}/towerwatch.rc.in ${CMAKE_BINARY_DIR}/towerwatch.rc @ONLY)
add_library(tw_windows_resources OBJECT ${CMAKE_BINARY_DIR}/towerwatch.rc)
set_source_files_properties(${CMAKE_BINARY_DIR}/towerwatch.rc PROPERTIES OBJECT_DEPENDS ${TOWERWATCH_MANIFEST})

# A Linux build folder whose host tools the Windows build uses: its herald-sim serves the
# Windows tests, its render_icons draws the program's icon file. Without it the program has
# no icon resource (its windows still draw theirs) and there is no installer.
set(TOWERWATCH_LINUX_TOOLS "" CACHE PATH "Linux build folder with herald-sim and render_icons")
if(TOWERWATCH_LINUX_TOOLS)
  # tw_program_icon: towerwatch.exe's icon, 16 to 256 pixels, from the program's own artwork;
  # the shortcut, the installer and the uninstaller show the same file.
  set(TOWERWATCH_ICO ${CMAKE_BINARY_DIR}/towerwatch.ico)
  set(render_icons ${TOWERWATCH_LINUX_TOOLS}/tools/icons/render_icons)
  add_custom_command(
    OUTPUT ${TOWERWATCH_ICO}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
            ${render_icons} --ico ${TOWERWATCH_ICO} 16 20 24 32 40 48 64 128 256
    DEPENDS ${render_icons}
    COMMENT "Drawing the program's icon file")
  add_custom_target(program_ico DEPENDS ${TOWERWATCH_ICO})
  file(WRITE ${CMAKE_BINARY_DIR}/towerwatch_icon.rc "1 ICON \"${TOWERWATCH_ICO}\"\n")
  add_library(tw_program_icon OBJECT ${CMAKE_BINARY_DIR}/towerwatch_icon.rc)
  set_source_files_properties(${CMAKE_BINARY_DIR}/towerwatch_icon.rc PROPERTIES OBJECT_DEPENDS ${TOWERWATCH_ICO})
  add_dependencies(tw_program_icon program_ico)
endif()
