# Cross-compiling for 64-bit Windows with Debian's mingw-w64 compilers, posix
# threads model (std::thread and std::mutex need it).
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/mingw-w64.cmake
#
# Executables are linked fully static: nothing but the system's own DLLs
# needs to sit beside them. Our own programs are Unicode programs (-municode:
# wmain/wWinMain, the wide-character APIs).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CEDXM_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${CEDXM_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CEDXM_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${CEDXM_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${CEDXM_MINGW_TRIPLET}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${CEDXM_MINGW_TRIPLET}-gcc-ranlib-posix CACHE FILEPATH "")

# Libraries and headers come from the mingw sysroot and from the prefixes
# given in CMAKE_PREFIX_PATH (the cross-built libxml2 and GoogleTest), never
# from the build machine; its programs (windres, wine) are found as usual.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${CEDXM_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_C_FLAGS_INIT "-DUNICODE -D_UNICODE")
set(CMAKE_CXX_FLAGS_INIT "-DUNICODE -D_UNICODE")
# The compiler checks and feature tests of any project built with this file
# link plain main() programs (the linker flags above reach them); -municode
# goes only to the executables of the real configuration.
get_property(cedxm_in_try_compile GLOBAL PROPERTY IN_TRY_COMPILE)
if(NOT cedxm_in_try_compile)
  add_link_options($<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:-municode>)
endif()
