// The sanitizer build's reporting defaults, linked into each of its test and
// fuzz executables: every finding stops the run with a stack trace, leaks
// included. An ASAN_OPTIONS or UBSAN_OPTIONS from the environment still wins.

#if defined(__has_feature)
 #if __has_feature(address_sanitizer)

extern "C" const char* __asan_default_options();
extern "C" const char* __ubsan_default_options();
extern "C" const char* __lsan_default_suppressions();

// intercept_tls_get_addr=0: the runtime's tracking of dynamic TLS (the hosted
// plug-ins' thread_local variables) takes some blocks for the older glibc's
// layout, depending only on their addresses, and the leak check at exit then
// scans a bogus range and crashes ("Tracer caught signal 11", google/sanitizers
// issue 1322). Leaks are still found; only dynamic TLS is not scanned as a root.
extern "C" const char* __asan_default_options()
{
    return "detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1"
           ":check_initialization_order=1:strict_init_order=1:intercept_tls_get_addr=0";
}

extern "C" const char* __ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1:suppressions=" TARVELIN_UBSAN_SUPPRESSIONS;
}

// Leaks in other people's code that this project cannot mend, each with its reason.
extern "C" const char* __lsan_default_suppressions()
{
    // JUCE 7.0.5's LV2 host (end-to-end tests only) hands lilv a search path
    // whose copy lilv never frees.
    return "leak:lilv_world_set_option\n";
}

 #endif
#endif
