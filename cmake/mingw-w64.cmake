# Cross-compiling for 64-bit Windows with mingw-w64 (the -posix variants: std::thread,
# std::mutex and GoogleTest need them). Tests run through Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MK_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MK_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MK_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MK_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MK_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# ctest runs every Windows test executable through this wrapper (Wine, own prefix).
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run")
