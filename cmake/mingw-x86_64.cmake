# The same Windows programs for x86-64. Used to run the Windows-side and end-to-end tests on
# machines that cannot execute 32-bit Linux programs (and so cannot start 32-bit Wine).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
# The threads model of MinGW's runtime. The shipped programs take "win32": its C++ runtime calls
# Windows threads directly, while the "posix" one links libwinpthread, whose start-up imports
# functions that Windows 98, ME, 2000 and XP lack (GetTickCount64, vectored exception
# handlers), so that their loader would refuse the program before it runs. GoogleTest needs the
# std::mutex that only the posix model has in this compiler: windows_tests is built by a
# second configuration of this tree with "posix" (tests/windows/CMakeLists.txt).
set(TVL_MINGW_THREADS win32 CACHE STRING "MinGW threads model: win32 (shipped programs) or posix (GoogleTest)")
# Compiler checks (try_compile) read this file again and must choose the same compiler.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TVL_MINGW_THREADS)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-${TVL_MINGW_THREADS})
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-${TVL_MINGW_THREADS})
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
