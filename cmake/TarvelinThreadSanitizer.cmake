# The ThreadSanitizer build (TARVELIN_TSAN): everything compiled here, JUCE
# included, is instrumented, and the build holds one test executable: the
# thread stress test and the other tests that run threads. Use a build folder
# of its own:
#   cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVELIN_TSAN=ON
#   cmake --build build-tsan --target TarvelinStressTests
# It uses the default compiler; GCC's runtime (libtsan) comes with build-essential.

option(TARVELIN_TSAN "Build the thread stress test under ThreadSanitizer, and nothing else" OFF)

if(NOT TARVELIN_TSAN)
    return()
endif()

if(TARVELIN_SANITIZE)
    message(FATAL_ERROR "TARVELIN_TSAN and TARVELIN_SANITIZE cannot share a build folder")
endif()

if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    message(FATAL_ERROR "TARVELIN_TSAN needs GCC or Clang")
endif()

# Light optimisation keeps the instrumented stress test quick without making
# the reports hard to read. These come after the build type's flags, so they win.
add_compile_options(-fsanitize=thread -fno-omit-frame-pointer -O1 -g1)
add_link_options(-fsanitize=thread)

# Only the stress test: the other suites have their own builds.
set(TARVELIN_BUILD_TESTS OFF)
set(TARVELIN_BUILD_BENCH OFF)

enable_testing()
add_subdirectory(tests/stress)
