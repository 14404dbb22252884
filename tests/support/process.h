// Starting the real program (or a tool) as a child process with a bounded life:
// every child is killed when its handle goes out of scope, pass or fail, and
// when the test process itself dies.
#ifndef LIGHTMAP_TESTS_PROCESS_H
#define LIGHTMAP_TESTS_PROCESS_H

#include <string>
#include <sys/types.h>
#include <vector>

struct ChildOptions {
    std::vector<std::string> argv;
    std::vector<std::string> env; // NAME=value pairs added to (or replacing) ours
    std::vector<std::string> unsetEnv;
    std::string workingDirectory; // empty: ours
    std::string outputDirectory;  // where stdout.txt and stderr.txt go
    std::vector<int> passFds;     // passFds[i] becomes the child's descriptor 3 + i
};

struct Child {
    pid_t pid = -1;
    std::string stdoutPath;
    std::string stderrPath;
    int status = 0; // waitpid status, once reaped
    bool reaped = false;

    Child() = default;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child();
};

void startChild(Child& child, const ChildOptions& options);

// Waits up to `seconds` for the child to end; false if it is still running.
bool waitForExit(Child& child, double seconds);

// Asks the child to stop (SIGTERM), then kills it if it lingers.
void stopChild(Child& child);

bool childRunning(Child& child);

// "exited with status 1", "killed by signal 11", "still running", ...
std::string describeState(Child& child);

// A tool run to its end: its exit status (-1 if it had to be killed after
// `seconds`), what it wrote, and its state in words.
struct ToolRun {
    int status = -1;
    std::string out, err, state;
};
ToolRun runTool(ChildOptions options, double seconds);

// Gives this test process an X server of its own: an Xvfb on a free display,
// started on first use and stopped when the process ends, with DISPLAY pointing
// at it, so that tests can run side by side and need no display of the
// developer's. False, with the reason recorded as a failure, if it cannot start.
bool usePrivateDisplay();

std::string readFile(const std::string& path);

// A fresh empty folder under the test's temporary directory.
std::string makeTempFolder(const std::string& hint);

// The size of the file at `path` in bytes; -1 if there is none.
long fileSize(const std::string& path);

#endif
