# The sanitizer build (TARVELIN_SANITIZE): AddressSanitizer and
# UndefinedBehaviorSanitizer over everything compiled here, JUCE included,
# plus libFuzzer's coverage instrumentation, so that one build serves both the
# sanitized test suite and the fuzz targets. It needs Clang, which a fresh
# build folder picks by itself (scripts/run-sanitizer-checks.sh):
#   cmake -S . -B build-sanitize -G Ninja -DTARVELIN_SANITIZE=ON

if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "TARVELIN_SANITIZE needs Clang for libFuzzer: install clang-14 and "
                        "libclang-rt-14-dev (scripts/install-dependencies.sh) and use a fresh build folder")
endif()

# Optimised enough that the fuzzers run fast, with line tables for readable
# reports. The flags come after the build type's own, so they win.
add_compile_options(
    -fsanitize=address,undefined,fuzzer-no-link
    -fsanitize-coverage-ignorelist=${CMAKE_SOURCE_DIR}/tests/fuzz/coverage-ignore.txt
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
add_compile_definitions(TARVELIN_UBSAN_SUPPRESSIONS="${CMAKE_SOURCE_DIR}/tests/support/ubsan.supp")

# The plug-in's shared libraries take the sanitizer runtime from the process
# that loads them (the end-to-end tests' host, JUCE's LV2 helper), so JUCE's
# --no-undefined is lifted for them; the option given last wins.
#
# JUCE 7.0.5's LV2 wrapper computes "atom + 1" for a time-position field that
# a host left out before it checks the atom for null, which UBSan's
# pointer-overflow check reports. It is the toolkit's code, so that one check
# is off for the LV2 wrapper alone.
function(tarvelin_adapt_plugin_formats_to_sanitizers vst3Target lv2Target)
    target_link_options(${vst3Target} PRIVATE -Wl,-z,undefs)
    target_link_options(${lv2Target} PRIVATE -Wl,-z,undefs)
    target_compile_options(${lv2Target} PRIVATE -fno-sanitize=pointer-overflow)
endfunction()
