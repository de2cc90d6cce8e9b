# Cross-build for Windows with Debian's MinGW-w64 (the posix thread model, for std::thread).
# The toolchain files of the architectures set KVADERON_MINGW_TRIPLET and include this one.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${KVADERON_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KVADERON_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${KVADERON_MINGW_TRIPLET}-windres)

# Libraries for Windows (such as a Qt folder) given with -DCMAKE_FIND_ROOT_PATH come first.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${KVADERON_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Without the window, the compiler's own libraries go into each executable, so that they run
# without MinGW's DLLs. Qt's DLLs need those DLLs anyway: a build with the window
# (-DKVADERON_MINGW_SHARED_RUNTIME=ON) links every executable against them, so that one copy of the
# C++ runtime serves the whole process, and ships them beside the executables.
if(NOT KVADERON_MINGW_SHARED_RUNTIME)
  set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
endif()
