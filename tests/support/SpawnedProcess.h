#pragma once

#include <juce_core/juce_core.h>

#include <condition_variable>
#include <csignal>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

/*  A program started by a test (the Standalone, xdotool, xwd), with what
    juce::ChildProcess does not give: its pid, so that the test can signal it,
    how it ended (exit status, signal, core dump), and a wait with a deadline.
    Its output goes to a file. A process still running when the object goes is
    killed and reaped.
*/
class SpawnedProcess
{
public:
    struct Ending
    {
        bool exited = false;    // ended by exit, with exitStatus
        int exitStatus = -1;
        int signal = 0;         // or ended by this signal
        bool dumpedCore = false;

        bool isCleanExit() const { return exited && exitStatus == 0; }
        juce::String describe() const
        {
            if (exited)
                return "exit status " + juce::String (exitStatus);

            return "signal " + juce::String (signal) + (dumpedCore ? " (core dumped)" : "");
        }
    };

    SpawnedProcess() = default;

    ~SpawnedProcess()
    {
        if (isRunning())
            ::kill (pid, SIGKILL);

        if (waiter.joinable())
            waiter.join();
    }

    /** Starts the program (looked up on PATH) with its arguments; its standard
        output goes to outputFile and its errors to errorFile (the same file
        when that is left out). `environment` adds to or replaces variables of
        this process's environment. False when it could not be started. */
    bool start (const juce::StringArray& command, const juce::File& outputFile,
                const juce::File& errorFile = {}, const juce::StringPairArray& environment = {})
    {
        jassert (pid <= 0 && ! command.isEmpty());

        std::vector<std::string> arguments, variables;

        for (const auto& argument : command)
            arguments.push_back (argument.toStdString());

        for (auto** variable = environ; *variable != nullptr; ++variable)
        {
            const auto name = juce::String (*variable).upToFirstOccurrenceOf ("=", false, false);

            if (! environment.containsKey (name))
                variables.emplace_back (*variable);
        }

        for (const auto& name : environment.getAllKeys())
            variables.push_back ((name + "=" + environment[name]).toStdString());

        const auto argv = pointersTo (arguments);
        const auto envp = pointersTo (variables);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init (&actions);
        posix_spawn_file_actions_addopen (&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen (&actions, STDOUT_FILENO, outputFile.getFullPathName().toRawUTF8(),
                                          O_WRONLY | O_CREAT | O_TRUNC, 0644);

        if (errorFile == juce::File() || errorFile == outputFile)
            posix_spawn_file_actions_adddup2 (&actions, STDOUT_FILENO, STDERR_FILENO);
        else
            posix_spawn_file_actions_addopen (&actions, STDERR_FILENO, errorFile.getFullPathName().toRawUTF8(),
                                              O_WRONLY | O_CREAT | O_TRUNC, 0644);

        const auto result = posix_spawnp (&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy (&actions);

        if (result != 0)
        {
            pid = -1;
            return false;
        }

        waiter = std::thread ([this] { waitForChild(); });
        return true;
    }

    pid_t getPid() const { return pid; }

    bool isRunning() const
    {
        const std::lock_guard<std::mutex> lock (mutex);
        return pid > 0 && ! ending.has_value();
    }

    /** How the process ended; nothing when it still runs after timeoutMs. */
    std::optional<Ending> waitForEnd (int timeoutMs)
    {
        std::unique_lock<std::mutex> lock (mutex);
        ended.wait_for (lock, std::chrono::milliseconds (timeoutMs), [this] { return ending.has_value(); });
        return ending;
    }

    /** How the process ended, if it has. */
    std::optional<Ending> getEnding() const
    {
        const std::lock_guard<std::mutex> lock (mutex);
        return ending;
    }

    bool sendSignal (int signal)
    {
        return isRunning() && ::kill (pid, signal) == 0;
    }

private:
    static std::vector<char*> pointersTo (std::vector<std::string>& strings)
    {
        std::vector<char*> pointers;

        for (auto& string : strings)
            pointers.push_back (string.data());

        pointers.push_back (nullptr);
        return pointers;
    }

    void waitForChild()
    {
        int status = 0;
        pid_t result;

        do
        {
            result = ::waitpid (pid, &status, 0);
        } while (result == -1 && errno == EINTR);

        Ending end;

        if (result == pid && WIFEXITED (status))
        {
            end.exited = true;
            end.exitStatus = WEXITSTATUS (status);
        }
        else if (result == pid && WIFSIGNALED (status))
        {
            end.signal = WTERMSIG (status);
            end.dumpedCore = WCOREDUMP (status);
        }

        const std::lock_guard<std::mutex> lock (mutex);
        ending = end;
        ended.notify_all();
    }

    pid_t pid = -1;
    std::thread waiter;
    mutable std::mutex mutex;
    std::condition_variable ended;
    std::optional<Ending> ending;

    JUCE_DECLARE_NON_COPYABLE (SpawnedProcess)
};

/** What a short-lived tool printed, or why it failed. */
struct ToolResult
{
    bool succeeded = false;
    juce::String output;    // standard output
    juce::String failure;   // how it ended and what it said on its error output, when it failed
};

/** Runs a tool to its end within timeoutMs; it succeeds when the tool exits with status 0. */
inline ToolResult runTool (const juce::StringArray& command, int timeoutMs,
                           const juce::StringPairArray& environment = {})
{
    const juce::TemporaryFile output, errors;
    SpawnedProcess process;
    ToolResult result;

    if (! process.start (command, output.getFile(), errors.getFile(), environment))
    {
        result.failure = "could not start " + command[0];
        return result;
    }

    const auto ending = process.waitForEnd (timeoutMs);
    result.output = output.getFile().loadFileAsString();
    result.succeeded = ending.has_value() && ending->isCleanExit();

    if (! result.succeeded)
        result.failure = command.joinIntoString (" ") + ": "
                         + (ending.has_value() ? ending->describe() : "still running after " + juce::String (timeoutMs) + " ms")
                         + "\n" + errors.getFile().loadFileAsString();

    return result;
}
