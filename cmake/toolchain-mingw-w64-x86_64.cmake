# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (package g++-mingw-w64-x86-64-posix).
#
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-w64-x86_64.cmake
#
# The posix flavour is used because its runtime provides std::thread and std::mutex.
# CMAKE_CROSSCOMPILING_EMULATOR lets CTest and gtest_discover_tests run the programs under Wine
# when it is installed.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MOX_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MOX_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MOX_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MOX_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MOX_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Link the compiler's runtime (libgcc, libstdc++, winpthread) statically, so the DLLs and the
# programs need nothing beside them but Windows' own DLLs. Windows' import libraries are still
# import libraries: -static only stops the runtime's DLL import libraries from being preferred.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -static)

# Run cross-built programs under Wine (tests, test discovery). WINEPREFIX is left to the
# caller; scripts/wine-run.sh sets a private one.
find_program(MOX_WINE_RUNNER NAMES wine wine64)
if(MOX_WINE_RUNNER)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${MOX_WINE_RUNNER})
endif()
