// Child processes with a bounded life: each is killed with its process group when
// its handle goes, pass or fail, or the test process dies. The one wait, and files.
#ifndef LIGHTMAP_TESTS_PROCESS_H
#define LIGHTMAP_TESTS_PROCESS_H

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

struct ChildOptions {
    std::vector<std::string> argv;
    std::vector<std::string> env; // NAME=value pairs added to (or replacing) ours
    std::string workingDirectory; // empty: ours
    std::string outputDirectory;  // for stdout.txt and stderr.txt; empty: a new one
};

struct Child {
    pid_t pid = -1;
    std::string stdoutPath, stderrPath;
    int status = 0; // waitpid's, once reaped
    bool reaped = false;

    Child() = default;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child();
};

// Polls `done` every `intervalMs` until it holds (true) or `seconds` pass (false).
bool pollUntil(double seconds, const std::function<bool()>& done, int intervalMs = 10);

void startChild(Child& child, ChildOptions options);
bool waitForExit(Child& child, double seconds); // false if still running
void stopChild(Child& child);                   // SIGTERM, then SIGKILL if it lingers
bool childRunning(Child& child);
std::string describeState(Child& child); // "exited with status 1", "killed by signal 11", ...

// A tool run to its end: its exit status (-1 if it had to be killed after
// `seconds`), what it wrote, and its state in words.
struct ToolRun {
    int status = -1;
    std::string out, err, state;
};
ToolRun runTool(ChildOptions options, double seconds);

std::string readFile(const std::string& path);
std::vector<std::string> splitLines(const std::string& text);
// A fresh folder under the test's temp dir ($TEST_TMPDIR, else /tmp), removed
// when the test passes; throws where none can be made.
std::string makeTempFolder(const std::string& hint);
long fileSize(const std::string& path); // -1 if there is no file
std::string sourcePath(const std::string& relative);

#endif
