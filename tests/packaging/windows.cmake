# The Windows installer, run silently under Wine in a prefix of its own (made afresh by the
# test, so the build's prefix and its keys are not touched). Alone: beside the other Wine
# tests' server, the installed program once started without answering.
if(TOWERWATCH_SETUP)
  add_test(NAME WindowsInstallerInstallsAndUninstallsKeepingTheHistoryUnlessAsked
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/windows_installer.sh ${PROJECT_SOURCE_DIR}/cmake/wine-run.sh
                   ${CMAKE_BINARY_DIR}/installer-prefix ${TOWERWATCH_SETUP} ${PROJECT_VERSION})
  set_tests_properties(WindowsInstallerInstallsAndUninstallsKeepingTheHistoryUnlessAsked PROPERTIES
                       LABELS packaging TIMEOUT 300 RUN_SERIAL TRUE)
endif()
