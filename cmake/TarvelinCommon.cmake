# Settings shared by the plug-in and by the second JUCE build that the
# end-to-end test uses for plug-in hosting.

set(TARVELIN_JUCE_DEFINITIONS
    JUCE_DISPLAY_SPLASH_SCREEN=0
    JUCE_WEB_BROWSER=0
    JUCE_USE_CURL=0
    JUCE_USE_FLAC=0
    JUCE_USE_OGGVORBIS=0
    JUCE_VST3_CAN_REPLACE_VST2=0
    JUCE_STRICT_REFCOUNTEDPOINTER=1
    JUCE_MODAL_LOOPS_PERMITTED=0)

set(TARVELIN_WARNING_FLAGS
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
    -Wcast-align -Wunused -Wformat=2 -Wimplicit-fallthrough -Wredundant-decls
    -Wzero-as-null-pointer-constant)

# Warnings apply to the project's own files only: JUCE's sources flood GCC 12's
# dangling-pointer analysis.
function(tarvelin_own_warnings)
    set_source_files_properties(${ARGN} PROPERTIES COMPILE_OPTIONS "${TARVELIN_WARNING_FLAGS}")
endfunction()

# Gives a test or benchmark target the plug-in library's headers and
# definitions without linking the JUCE module targets a second time.
function(tarvelin_use_plugin_library target)
    target_link_libraries(${target} PRIVATE Tarvelin)
    target_include_directories(${target} PRIVATE
        $<TARGET_PROPERTY:Tarvelin,INCLUDE_DIRECTORIES>
        $<TARGET_PROPERTY:TarvelinResources,INTERFACE_INCLUDE_DIRECTORIES>)
    target_compile_definitions(${target} PRIVATE
        $<TARGET_PROPERTY:Tarvelin,COMPILE_DEFINITIONS>)
    # The VST3 SDK's headers, as the library's own sources see them: someone else's warnings.
    target_include_directories(${target} SYSTEM PRIVATE ${TARVELIN_VST3_SDK_DIR})
endfunction()

# Runs every test of a test executable, and the discovery of its tests, under a
# virtual X display of its own: xvfb-run -a takes a free display number, so
# such tests run in parallel with each other and with the rest of the suite.
function(tarvelin_run_under_xvfb target)
    set_target_properties(${target} PROPERTIES
        CROSSCOMPILING_EMULATOR "xvfb-run;-a;-s;-screen 0 1280x1024x24")
endfunction()
