# The native tests built as 32-bit x86 (g++-multilib): the logic as the i686 program compiles
# it, with a 32-bit size_t. The tests may not run on this machine without an emulator, so
# they are listed when CTest runs them, not when they are built.
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
# The distribution's GoogleTest libraries are 64-bit: it is built from its sources.
set(TVL_GTEST_FROM_SOURCE ON)
