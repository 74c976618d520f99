# Native configuration: the Windows-free code under AddressSanitizer and UndefinedBehaviorSanitizer.
set(SKEO_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

add_library(skeo_portable STATIC ${SKEO_PORTABLE_SOURCES} ${VIRTUALCAM_PORTABLE_SOURCES})
target_include_directories(skeo_portable PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(skeo_portable PUBLIC ${SKEO_SANITIZE} -Wall -Wextra)
target_link_options(skeo_portable PUBLIC ${SKEO_SANITIZE})

if(SKEO_BUILD_TESTS)
    add_subdirectory(tests/native)
endif()
