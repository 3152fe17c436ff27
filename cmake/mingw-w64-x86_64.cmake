# Cross build for 64-bit Windows with Debian's mingw-w64 (posix threads, which
# std::thread needs). Used for Qt itself and for the program; TAMBOREL_WINDOWS_QT,
# when set, is the cross-built Qt, searched like the mingw root.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(tamborel_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${tamborel_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${tamborel_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${tamborel_triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${tamborel_triplet})
if(TAMBOREL_WINDOWS_QT)
    list(APPEND CMAKE_FIND_ROOT_PATH "${TAMBOREL_WINDOWS_QT}")
    list(APPEND CMAKE_PREFIX_PATH "${TAMBOREL_WINDOWS_QT}")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# CTest runs the Windows test programs through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
