// Child processes for the tests: spawned with their output in files (a pipe that
// nobody drains could stall the child), waited for with a deadline, always reaped.
#include "process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void redirect(const std::string& path, int fd)
{
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (file >= 0) {
        dup2(file, fd);
        close(file);
    }
}

} // namespace

Child::~Child()
{
    if (pid > 0 && !reaped)
        stopChild(*this);
}

void startChild(Child& child, const ChildOptions& options)
{
    child.stdoutPath = options.outputDirectory + "/stdout.txt";
    child.stderrPath = options.outputDirectory + "/stderr.txt";
    const pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0); // so that stopChild reaches grandchildren (apitrace's) too
        for (const std::string& name : options.unsetEnv)
            unsetenv(name.c_str());
        for (const std::string& pair : options.env)
            putenv(const_cast<char*>(pair.c_str()));
        if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0)
            _exit(126);
        redirect(child.stdoutPath, 1);
        redirect(child.stderrPath, 2);
        std::vector<char*> argv;
        for (const std::string& arg : options.argv)
            argv.push_back(const_cast<char*>(arg.c_str()));
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
    const auto start = std::chrono::steady_clock::now();
    while (!child.reaped) {
        if (waitpid(child.pid, &child.status, WNOHANG) == child.pid) {
            child.reaped = true;
            break;
        }
        if (secondsSince(start) > seconds)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

bool childRunning(Child& child)
{
    return !waitForExit(child, 0.0);
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

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string makeTempFolder(const std::string& hint)
{
    std::string pattern = testing::TempDir() + "lightmap-" + hint + "-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        ADD_FAILURE() << "mkdtemp failed for " << pattern;
    return pattern;
}

bool waitForFileSize(const std::string& path, long bytes, double seconds)
{
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        struct stat info {};
        if (stat(path.c_str(), &info) == 0 && info.st_size >= bytes)
            return true;
        if (secondsSince(start) > seconds)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}
