# Cross build for 64-bit Windows with the distribution's MinGW-w64 compiler (Debian package
# g++-mingw-w64-x86-64-posix). The executable is linked statically, so it runs on its own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_prefix x86_64-w64-mingw32)
find_program(CMAKE_CXX_COMPILER NAMES ${mingw_prefix}-g++-posix ${mingw_prefix}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${mingw_prefix}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
