#pragma once

#include <juce_core/juce_core.h>

#include <map>
#include <string>
#include <vector>

// Where the built binaries are, and a private HOME for everything the tests start: the plug-in
// writes its default preset below the documents folder, which must never be the user's.
namespace HostSandbox
{
    // Creates the private HOME and points HOME and the XDG folders at it. Call before JUCE starts.
    void enter();
    // Removes it again (children must be gone by then).
    void leave();

    juce::File home();
    juce::File vst3Bundle();
    juce::File lv2Bundle();
    juce::File standaloneExecutable();

    // A fresh folder below the private HOME.
    juce::File makeTempFolder (const juce::String& prefix);
}

// A child process with its output in a log file and a guaranteed end: the destructor terminates
// it (SIGTERM, then SIGKILL), so a failing test leaves no jackd or jalv behind. It stays in our
// process group, where the display wrapper finds it should this process crash.
class Subprocess
{
public:
    Subprocess (std::vector<std::string> args,
                std::map<std::string, std::string> extraEnvironment,
                juce::File logFile,
                bool giveStdinPipe = false);
    ~Subprocess();

    bool started() const noexcept { return pid > 0; }
    bool isRunning();
    // Exit code, or -1 if it did not end in time (it keeps running) or died from a signal.
    int waitForExit (int timeoutMs);
    void terminate (int graceMs = 2000);
    juce::String output() const;
    // Only with giveStdinPipe: a line for programs that take commands (jalv's console).
    bool sendLine (const std::string& line);

private:
    int pid = -1;
    int stdinWriteEnd = -1;
    int status = 0;
    bool reaped = false;
    juce::File log;

    JUCE_DECLARE_NON_COPYABLE (Subprocess)
};

// Runs a command to the end (bounded by timeoutMs) and returns its exit code and output.
struct CommandResult
{
    int exitCode = -1;
    juce::String output;
};

CommandResult runCommand (std::vector<std::string> args, int timeoutMs,
                          std::map<std::string, std::string> extraEnvironment = {});

// How many different colours a picture has (a blank or single-colour window has one or two).
int countDistinctColours (const juce::File& imageFile);

// Polls cond, running the message loop in between, until it holds or timeoutMs passes.
bool waitUntil (const std::function<bool()>& cond, int timeoutMs);
