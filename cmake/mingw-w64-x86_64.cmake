# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 toolchain; the tests run under Wine.
# The POSIX thread flavour of the compiler gives the full C++ thread library; everything is
# linked statically so that the programs and TOVAN.dll run without any runtime DLL beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TOVAN_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TOVAN_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOVAN_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TOVAN_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOVAN_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C library's own printf family, which knows the C99 conversions (%zu, %lld) that the
# system's msvcrt.dll lacks.
set(CMAKE_CXX_FLAGS_INIT "-D__USE_MINGW_ANSI_STDIO=1")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# ctest starts every test program through Wine.
find_program(TOVAN_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(TOVAN_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${TOVAN_WINE})
endif()
