# Cross toolchain: 64-bit Windows with mingw-w64, for the tests on machines
# whose kernel runs no 32-bit program. The program users get is the 32-bit one.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
