# Cross build for 64-bit Windows with Debian's mingw-w64 (the posix thread model, so
# std::thread and std::mutex work). Executables are linked to stand alone: no libstdc++,
# libgcc or winpthreads DLL beside them. Tests run through Wine, one prefix per build folder.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TOWERWATCH_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TOWERWATCH_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOWERWATCH_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TOWERWATCH_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOWERWATCH_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# -static takes the static winpthreads too (libstdc++ of the posix model depends on it).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh --prefix=${CMAKE_BINARY_DIR}/wineprefix)
