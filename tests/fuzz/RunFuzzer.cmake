# Runs one fuzz target for a bounded time: ctest's fuzz step.
#   cmake -DFUZZER=<TarvelinFuzzer> -DTARGET=<name> -DSECONDS=<n> -DMAX_LEN=<bytes> -DSEEDS=<tests/fuzz> -DWORK=<folder> -P RunFuzzer.cmake
# New inputs go to a working corpus in the build folder; the seeds and the
# saved regressions in the source tree are only read. Inputs may grow to
# MAX_LEN at once: by default libFuzzer lets them grow past the longest seed
# by a few bytes a thousand runs, so a run of minutes never leaves the seeds' sizes. A crash, a broken check,
# a leak or a hang fails the step and leaves the input in WORK/crashes.

set(corpus "${WORK}/corpus/${TARGET}")
set(crashes "${WORK}/crashes")
file(MAKE_DIRECTORY "${corpus}" "${crashes}")

set(folders "${corpus}")

foreach(kind corpus regressions)
    if(IS_DIRECTORY "${SEEDS}/${kind}/${TARGET}")
        list(APPEND folders "${SEEDS}/${kind}/${TARGET}")
    endif()
endforeach()

set(ENV{TARVELIN_FUZZ_TARGET} "${TARGET}")

execute_process(
    COMMAND "${FUZZER}"
        -max_total_time=${SECONDS}
        -max_len=${MAX_LEN}
        -len_control=0
        -timeout=10
        -rss_limit_mb=2048
        -print_final_stats=1
        "-dict=${SEEDS}/xml.dict"
        "-artifact_prefix=${crashes}/${TARGET}-"
        ${folders}
    RESULT_VARIABLE result)

if(NOT result EQUAL 0)
    message(FATAL_ERROR "The fuzz target ${TARGET} failed (${result}); its input is in ${crashes}. "
                        "Fix the cause and keep the input in tests/fuzz/regressions/${TARGET}/.")
endif()
