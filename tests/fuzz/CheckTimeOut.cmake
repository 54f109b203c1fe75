# Shows that an input running past -timeout is stopped and reported, when one
# input is replayed and while fuzzing: ctest's fuzz.timeout-fires.
#   cmake -DFUZZER=<TarvelinFuzzer> -DWORK=<folder> -P CheckTimeOut.cmake
# The test-only target "slowinput" sleeps as many seconds as its input says:
# 30 here, so a time-out that never fires fails the check, not ctest's clock.
# A replayed input starts just after libFuzzer's own timer (every 2 s under
# -timeout=2), whose first look then falls short of the limit and whose next
# comes near 4 s: the watchdog, at 2 s, has to speak first.

set(limit 2)
set(corpus "${WORK}/corpus")
set(artifacts "${WORK}/artifacts/")
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${corpus}" "${artifacts}")
file(WRITE "${corpus}/thirty-seconds" "30")

set(ENV{TARVELIN_FUZZ_TARGET} slowinput)

# Runs the fuzzer with the time-out and the given arguments; fails unless it
# ends with libFuzzer's time-out report and its time-out exit code (70).
function(expect_time_out what)
    execute_process(
        COMMAND "${FUZZER}" -timeout=${limit} -timeout_exitcode=70 "-artifact_prefix=${artifacts}" ${ARGN}
        RESULT_VARIABLE result
        OUTPUT_VARIABLE output
        ERROR_VARIABLE output)

    if(NOT result EQUAL 70 OR NOT output MATCHES "ERROR: libFuzzer: timeout after")
        message(FATAL_ERROR "${what}: no time-out reported after ${limit} s (exit ${result}):\n${output}")
    endif()

    set(output "${output}" PARENT_SCOPE)
endfunction()

expect_time_out("Replaying one input" "${corpus}/thirty-seconds")

if(NOT output MATCHES "the input has run for ${limit} s")
    message(FATAL_ERROR "Replaying one input: the watchdog did not stop it at ${limit} s:\n${output}")
endif()

expect_time_out("Fuzzing" -max_total_time=60 "${corpus}")

file(GLOB kept "${artifacts}/timeout-*")

if(NOT kept)
    message(FATAL_ERROR "Fuzzing: the slow input was not kept in ${artifacts}:\n${output}")
endif()
