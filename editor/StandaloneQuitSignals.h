#pragma once

/**
    In the Standalone application, SIGTERM (a logout, `kill`) and SIGINT
    (Ctrl+C) quit the way the window's close button does: the plug-in's state
    is saved, then the application quits and exits with status 0.

    The signal handler only writes the signal to a pipe; the message thread
    reads it and asks the application to quit. A second SIGTERM or SIGINT
    while that quit is pending (a wedged message thread, a shutdown that
    hangs) ends the process as the signal's default does.
*/
class StandaloneQuitSignals
{
public:
    /** Installs the handlers once; does nothing outside a JUCE application. */
    static void install();
};
