// The ThreadSanitizer build's reporting defaults: the first data race ends the
// run with both stacks, so the stress test cannot pass with a race in it. A
// TSAN_OPTIONS from the environment still wins (halt_on_error=0 lists them all).

#if defined(__SANITIZE_THREAD__)
 #define TARVELIN_THREAD_SANITIZER 1
#elif defined(__has_feature)
 #if __has_feature(thread_sanitizer)
  #define TARVELIN_THREAD_SANITIZER 1
 #endif
#endif

#if defined(TARVELIN_THREAD_SANITIZER)

extern "C" const char* __tsan_default_options();

extern "C" const char* __tsan_default_options()
{
    return "halt_on_error=1:second_deadlock_stack=1:history_size=4";
}

#endif
