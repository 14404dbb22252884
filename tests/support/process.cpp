// Output goes to files: a pipe that nobody drains could stall the child.
#include "process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

bool pollUntil(double seconds, const std::function<bool()>& done, int intervalMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
    }
    return true;
}

Child::~Child()
{
    stopChild(*this);
}

void startChild(Child& child, ChildOptions options)
{
    if (options.outputDirectory.empty())
        options.outputDirectory = makeTempFolder("child");
    child.stdoutPath = options.outputDirectory + "/stdout.txt";
    child.stderrPath = options.outputDirectory + "/stderr.txt";
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0); // so that stopChild reaches grandchildren (apitrace's) too
        // A test process killed by a timeout takes its children with it.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            _exit(125);
        for (std::string& pair : options.env)
            putenv(pair.data());
        if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0)
            _exit(126);
        const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC;
        const int out = open(child.stdoutPath.c_str(), flags, 0644);
        const int err = open(child.stderrPath.c_str(), flags, 0644);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0)
            _exit(124);
        std::vector<char*> argv;
        for (std::string& arg : options.argv)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    ASSERT_GT(pid, 0) << "fork failed";
    setpgid(pid, pid);
    child.pid = pid;
    child.reaped = false;
}

bool waitForExit(Child& child, double seconds)
{
    return pollUntil(
        seconds,
        [&] {
            child.reaped = child.reaped || waitpid(child.pid, &child.status, WNOHANG) == child.pid;
            return child.reaped;
        },
        5);
}

bool childRunning(Child& child)
{
    return child.pid > 0 && !waitForExit(child, 0.0);
}

std::string describeState(Child& child)
{
    if (child.pid <= 0)
        return "never started";
    if (childRunning(child))
        return "still running";
    if (WIFSIGNALED(child.status))
        return "killed by signal " + std::to_string(WTERMSIG(child.status));
    const int status = WEXITSTATUS(child.status);
    return "exited with status " + std::to_string(status) +
           (status == 127   ? " (not found)"
            : status == 126 ? " (no working directory)"
            : status == 124 ? " (its output files could not be opened)"
                            : "");
}

void stopChild(Child& child)
{
    if (child.pid <= 0 || child.reaped)
        return;
    kill(-child.pid, SIGTERM);
    if (!waitForExit(child, 5.0)) {
        kill(-child.pid, SIGKILL);
        waitForExit(child, 5.0);
    }
}

ToolRun runTool(ChildOptions options, double seconds)
{
    Child tool;
    startChild(tool, std::move(options));
    ToolRun run;
    if (waitForExit(tool, seconds) && WIFEXITED(tool.status))
        run.status = WEXITSTATUS(tool.status);
    run.state = describeState(tool);
    stopChild(tool);
    run.out = readFile(tool.stdoutPath);
    run.err = readFile(tool.stderrPath);
    return run;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

namespace {

// The folders the running test made: removed when it passes or is skipped,
// kept, and named, when it fails.
std::vector<std::string> madeFolders;

struct Sweeper : testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo& test) override
    {
        for (const std::string& folder : madeFolders) {
            std::error_code error;
            if (test.result()->Failed())
                std::printf("lightmap: kept for a look: %s\n", folder.c_str());
            else if (std::filesystem::remove_all(folder, error), error)
                std::printf("lightmap: could not remove %s: %s\n", folder.c_str(),
                            error.message().c_str());
        }
        madeFolders.clear();
    }
};
[[maybe_unused]] const bool sweeping =
    (testing::UnitTest::GetInstance()->listeners().Append(new Sweeper), true);

} // namespace

std::string makeTempFolder(const std::string& hint)
{
    std::string pattern = testing::TempDir() + "lightmap-" + hint + "-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) // the test cannot go on: it reports the exception
        throw std::runtime_error("mkdtemp failed for " + pattern + ": " + std::strerror(errno));
    madeFolders.push_back(pattern);
    return pattern;
}

long fileSize(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : -1;
}

std::string sourcePath(const std::string& relative)
{
    return std::string(LIGHTMAP_SOURCE_DIR) + "/" + relative;
}
