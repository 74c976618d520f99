# 64-bit Windows build of the same sources: its tests run on every amd64 kernel, including those
# that cannot start 32-bit processes (and so cannot host a 32-bit Wine); the demo run uses it too.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SKEO_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
