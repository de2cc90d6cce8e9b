# Cross-build for Windows with Debian's MinGW-w64 (the posix thread model, for std::thread).
# The toolchain files of the architectures set KVADERON_MINGW_TRIPLET and include this one.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${KVADERON_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KVADERON_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${KVADERON_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KVADERON_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's own libraries go into each executable, so that they run without MinGW's DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
