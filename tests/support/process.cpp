// Child processes for the tests: spawned with their output in files (a pipe that
// nobody drains could stall the child), waited for with a deadline, always reaped.
#include "process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/prctl.h>
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
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0); // so that stopChild reaches grandchildren (apitrace's) too
        // A test process killed by a timeout takes its children with it.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            _exit(125);
        for (const std::string& name : options.unsetEnv)
            unsetenv(name.c_str());
        for (const std::string& pair : options.env)
            putenv(const_cast<char*>(pair.c_str()));
        if (!options.workingDirectory.empty() && chdir(options.workingDirectory.c_str()) != 0)
            _exit(126);
        redirect(child.stdoutPath, 1);
        redirect(child.stderrPath, 2);
        // Out of the way first, so that no descriptor is overwritten before it is moved.
        std::vector<int> moved;
        for (int fd : options.passFds)
            moved.push_back(fcntl(fd, F_DUPFD_CLOEXEC, 64));
        for (std::size_t i = 0; i < moved.size(); ++i)
            dup2(moved[i], 3 + static_cast<int>(i));
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
    if (options.outputDirectory.empty())
        options.outputDirectory = makeTempFolder("tool");
    Child tool;
    startChild(tool, options);
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

std::string makeTempFolder(const std::string& hint)
{
    std::string pattern = testing::TempDir() + "lightmap-" + hint + "-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        ADD_FAILURE() << "mkdtemp failed for " << pattern;
    return pattern;
}

long fileSize(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? static_cast<long>(info.st_size) : -1;
}

namespace {

// Reads one line from `fd` within `seconds`; empty on timeout or end of file.
std::string readLine(int fd, double seconds)
{
    const auto start = std::chrono::steady_clock::now();
    std::string line;
    char c = 0;
    while (secondsSince(start) < seconds) {
        pollfd ready{fd, POLLIN, 0};
        if (poll(&ready, 1, 50) <= 0)
            continue;
        if (read(fd, &c, 1) != 1)
            return "";
        if (c == '\n')
            return line;
        line += c;
    }
    return "";
}

} // namespace

bool usePrivateDisplay()
{
    static Child server; // its destructor stops the server when the process exits
    if (server.pid > 0 && childRunning(server))
        return true;

    // -displayfd: the server picks a free display and writes its number once it
    // accepts connections; no guess and no race with other servers.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "pipe failed";
        return false;
    }
    ChildOptions options;
    options.argv = {"Xvfb",         "-displayfd", "3",   "-screen", "0",
                    "1280x1024x24", "-nolisten",  "tcp", "-noreset"};
    options.outputDirectory = makeTempFolder("xvfb");
    options.passFds = {fds[1]};
    startChild(server, options);
    close(fds[1]);
    const std::string number = readLine(fds[0], 20.0);
    close(fds[0]);
    if (number.empty()) {
        ADD_FAILURE() << "Xvfb did not start (" << describeState(server)
                      << "); `make test` installs it. Its output:\n"
                      << readFile(server.stderrPath);
        stopChild(server);
        return false;
    }
    setenv("DISPLAY", (":" + number).c_str(), 1);
    return true;
}
