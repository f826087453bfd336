# Shared by both MinGW-w64 toolchains. The -posix compilers are needed for std::thread in the tests.
set(CMAKE_C_COMPILER ${OC_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${OC_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${OC_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${OC_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Everything links statically: the program must run with no MinGW DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Each function and datum in its own section, so that the linker drops what nothing calls (most of the
# static C++ runtime); the shipping builds carry no symbols or debug sections of the static libraries.
set(CMAKE_C_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -Wl,--gc-sections")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
set(CMAKE_EXE_LINKER_FLAGS_MINSIZEREL_INIT "-s")
# Built programs run under Wine through the project's launcher: the x86_64 build under 64-bit Wine, the i686
# build under 32-bit Wine in the i386 tree (tools/i386/tree.sh).
if(OC_TRIPLE STREQUAL "x86_64-w64-mingw32")
    set(OC_WINE_ARCH win64)
else()
    set(OC_WINE_ARCH win32)
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine.sh ${OC_WINE_ARCH})
