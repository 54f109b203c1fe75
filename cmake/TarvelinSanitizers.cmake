# The sanitizer build (TARVELIN_SANITIZE): AddressSanitizer and
# UndefinedBehaviorSanitizer over everything compiled here, JUCE included,
# plus libFuzzer's coverage instrumentation, so that one build serves both the
# sanitized test suite and the fuzz targets. Needs Clang:
#   CC=clang-14 CXX=clang++-14 cmake -S . -B build-sanitize -G Ninja -DTARVELIN_SANITIZE=ON

if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "TARVELIN_SANITIZE needs Clang for libFuzzer: "
                        "configure with CC=clang-14 CXX=clang++-14 in a fresh build folder")
endif()

# Optimised enough that the fuzzers run fast, with line tables for readable
# reports. The flags come after the build type's own, so they win.
add_compile_options(
    -fsanitize=address,undefined,fuzzer-no-link
    -fno-omit-frame-pointer
    -O1
    -gline-tables-only)
# GNU ld takes minutes over the coverage sections of every function; lld seconds.
add_link_options(-fsanitize=address,undefined -fuse-ld=lld)

# The fuzz targets link libFuzzer's driver; everything else only its hooks.
set(TARVELIN_FUZZER_LINK_OPTIONS -fsanitize=fuzzer)

# How the sanitizers report: every executable of this build links these
# defaults, so a test run by hand behaves as under ctest.
set(TARVELIN_SANITIZER_OPTIONS_SOURCE ${CMAKE_SOURCE_DIR}/tests/support/SanitizerOptions.cpp)

# The plug-in's shared libraries take the sanitizer runtime from the process
# that loads them (the end-to-end tests' host, JUCE's LV2 helper), so JUCE's
# --no-undefined is lifted for them; the option given last wins.
function(tarvelin_let_plugin_formats_use_host_sanitizers)
    foreach(format IN LISTS ARGN)
        target_link_options(${format} PRIVATE -Wl,-z,undefs)
    endforeach()
endfunction()
