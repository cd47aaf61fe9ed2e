#include "HostSandbox.h"

#include <juce_events/juce_events.h>
#include <juce_graphics/juce_graphics.h>

#include <iostream>
#include <set>
#include <string>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace
{
    juce::File sandboxHome;
}

void HostSandbox::enter()
{
    // Below TMPDIR when the display wrapper set one: it removes that even after a crash.
    const char* tmp = std::getenv ("TMPDIR");
    std::string pattern = std::string (tmp != nullptr && *tmp != 0 ? tmp : "/tmp") + "/brimstack3-host-XXXXXX";
    const char* made = ::mkdtemp (pattern.data());

    if (made == nullptr)
    {
        std::perror ("mkdtemp");
        std::abort();
    }

    sandboxHome = juce::File (juce::String (made));
    sandboxHome.getChildFile ("Documents").createDirectory();
    sandboxHome.getChildFile (".config").createDirectory();

    // A host that died must fail its test, not end the run when we write to it.
    ::signal (SIGPIPE, SIG_IGN);

    ::setenv ("HOME", made, 1);
    ::setenv ("XDG_CONFIG_HOME", sandboxHome.getChildFile (".config").getFullPathName().toRawUTF8(), 1);
    ::setenv ("XDG_DOCUMENTS_DIR", sandboxHome.getChildFile ("Documents").getFullPathName().toRawUTF8(), 1);
    ::setenv ("XDG_RUNTIME_DIR", made, 1);
    // Nothing a test starts may find the user's plug-ins instead of the built ones.
    ::setenv ("LV2_PATH", lv2Bundle().getParentDirectory().getFullPathName().toRawUTF8(), 1);
}

void HostSandbox::leave()
{
    if (juce::SystemStats::getEnvironmentVariable ("BRIMSTACK3_KEEP_SANDBOX", {}).isNotEmpty())
    {
        std::cerr << "sandbox kept: " << sandboxHome.getFullPathName() << std::endl;
        return;
    }

    if (sandboxHome.getFileName().startsWith ("brimstack3-host-"))
        sandboxHome.deleteRecursively();
}

juce::File HostSandbox::home()                 { return sandboxHome; }
juce::File HostSandbox::vst3Bundle()           { return juce::File (BRIMSTACK3_VST3_BUNDLE); }
juce::File HostSandbox::lv2Bundle()            { return juce::File (BRIMSTACK3_LV2_BUNDLE); }
juce::File HostSandbox::standaloneExecutable() { return juce::File (BRIMSTACK3_STANDALONE); }

juce::File HostSandbox::makeTempFolder (const juce::String& prefix)
{
    auto folder = sandboxHome.getNonexistentChildFile (prefix, {}, false);
    folder.createDirectory();
    return folder;
}

//==============================================================================
Subprocess::Subprocess (std::vector<std::string> args,
                        std::map<std::string, std::string> extraEnvironment,
                        juce::File logFile,
                        bool giveStdinPipe)
    : log (std::move (logFile))
{
    std::map<std::string, std::string> env;

    for (char** e = environ; *e != nullptr; ++e)
    {
        const std::string entry (*e);
        const auto eq = entry.find ('=');

        if (eq != std::string::npos)
            env[entry.substr (0, eq)] = entry.substr (eq + 1);
    }

    for (auto& [key, value] : extraEnvironment)
        env[key] = value;

    std::vector<std::string> envStrings;
    for (auto& [key, value] : env)
        envStrings.push_back (key + "=" + value);

    std::vector<char*> argv, envp;
    for (auto& a : args)       argv.push_back (a.data());
    for (auto& e : envStrings) envp.push_back (e.data());
    argv.push_back (nullptr);
    envp.push_back (nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init (&actions);
    int stdinPipe[2] = { -1, -1 };

    // Some hosts quit at the end of their input, so they get a pipe that stays open until the end.
    if (giveStdinPipe && ::pipe2 (stdinPipe, O_CLOEXEC) == 0)
        posix_spawn_file_actions_adddup2 (&actions, stdinPipe[0], STDIN_FILENO);
    else
        posix_spawn_file_actions_addopen (&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);

    posix_spawn_file_actions_addopen (&actions, STDOUT_FILENO, log.getFullPathName().toRawUTF8(),
                                      O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2 (&actions, STDOUT_FILENO, STDERR_FILENO);

    posix_spawnattr_t attributes;
    posix_spawnattr_init (&attributes);
    posix_spawnattr_setflags (&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup (&attributes, 0);

    pid_t child = -1;

    if (posix_spawnp (&child, argv[0], &actions, &attributes, argv.data(), envp.data()) == 0)
        pid = (int) child;

    if (stdinPipe[0] >= 0)
    {
        ::close (stdinPipe[0]);
        stdinWriteEnd = stdinPipe[1];
    }

    posix_spawnattr_destroy (&attributes);
    posix_spawn_file_actions_destroy (&actions);
}

Subprocess::~Subprocess()
{
    terminate();
}

bool Subprocess::isRunning()
{
    if (pid <= 0 || reaped)
        return false;

    if (::waitpid (pid, &status, WNOHANG) == pid)
        reaped = true;

    return ! reaped;
}

int Subprocess::waitForExit (int timeoutMs)
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;

    while (isRunning())
    {
        if (juce::Time::getMillisecondCounter() > deadline)
            return -1;

        juce::Thread::sleep (10);
    }

    if (pid <= 0 || ! WIFEXITED (status))
        return -1;

    return WEXITSTATUS (status);
}

void Subprocess::terminate (int graceMs)
{
    if (pid <= 0)
        return;

    if (isRunning())
    {
        ::kill (pid, SIGTERM);

        if (waitForExit (graceMs) < 0 && isRunning())
        {
            ::kill (pid, SIGKILL);
            ::waitpid (pid, &status, 0);
            reaped = true;
        }
    }

    if (stdinWriteEnd >= 0)
    {
        ::close (stdinWriteEnd);
        stdinWriteEnd = -1;
    }
}

bool Subprocess::sendLine (const std::string& line)
{
    if (stdinWriteEnd < 0)
        return false;

    const auto text = line + "\n";
    return ::write (stdinWriteEnd, text.data(), text.size()) == (ssize_t) text.size();
}

juce::String Subprocess::output() const
{
    return log.loadFileAsString();
}

CommandResult runCommand (std::vector<std::string> args, int timeoutMs,
                          std::map<std::string, std::string> extraEnvironment)
{
    auto logFile = HostSandbox::home().getNonexistentChildFile ("command", ".log", false);
    CommandResult result;

    {
        Subprocess process (std::move (args), std::move (extraEnvironment), logFile);
        result.exitCode = process.waitForExit (timeoutMs);
        process.terminate (500);
        result.output = process.output();
    }

    logFile.deleteFile();
    return result;
}

bool waitUntil (const std::function<bool()>& cond, int timeoutMs)
{
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) timeoutMs;

    while (! cond())
    {
        if (juce::Time::getMillisecondCounter() > deadline)
            return false;

        if (auto* mm = juce::MessageManager::getInstanceWithoutCreating())
            mm->runDispatchLoopUntil (10);
        else
            juce::Thread::sleep (10);
    }

    return true;
}

int countDistinctColours (const juce::File& imageFile)
{
    const auto image = juce::ImageFileFormat::loadFrom (imageFile);

    if (! image.isValid())
        return 0;

    std::set<juce::uint32> colours;
    const juce::Image::BitmapData pixels (image, juce::Image::BitmapData::readOnly);

    for (int y = 0; y < image.getHeight(); y += 2)
        for (int x = 0; x < image.getWidth(); x += 2)
            colours.insert (pixels.getPixelColour (x, y).getARGB());

    return (int) colours.size();
}
