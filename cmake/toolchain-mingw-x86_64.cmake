# 64-bit Windows build of the same sources: what the tests and the demo run use on machines
# whose kernel cannot start 32-bit processes (and so cannot host a 32-bit Wine).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SKEO_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
