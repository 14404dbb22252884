// first_frame RUNS PROBE LABEL=BINARY@FOLDER...: starts each program RUNS times,
// round-robin so that drift hits all alike, with the GL probe preloaded to end
// it right after its first frame is complete. Prints, per program, the median
// time from just before exec to that moment, and the median peak memory. A run
// that gives no frame within runSeconds is killed and ends the benchmark.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <poll.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

const int runSeconds = 20;

struct Program {
    std::string label, binary, folder;
    std::vector<double> milliseconds;
    std::vector<long> maxRssKiB;
};

long long nowNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// One run; false if the program did not report a first frame.
bool runOnce(Program& program, const char* probe)
{
    int output[2];
    if (pipe(output) != 0)
        return false;
    const long long start = nowNanoseconds();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(output[1], 1);
        close(output[0]);
        if (chdir(program.folder.c_str()) != 0)
            _exit(126);
        setenv("LD_PRELOAD", probe, 1);
        setenv("LIGHTMAP_PROBE_FIRST_FRAME", "1", 1);
        execl(program.binary.c_str(), program.binary.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(output[1]);
    char text[256] = {};
    std::size_t length = 0;
    const long long deadline = start + runSeconds * 1000000000LL;
    for (;;) {
        pollfd ready{output[0], POLLIN, 0};
        const long long left = (deadline - nowNanoseconds()) / 1000000;
        if (left <= 0 || poll(&ready, 1, static_cast<int>(left)) <= 0) {
            std::fprintf(stderr, "first_frame: %s: no frame within %d s\n", program.label.c_str(),
                         runSeconds);
            kill(pid, SIGKILL);
            break;
        }
        const ssize_t n = read(output[0], text + length, sizeof text - 1 - length);
        if (n <= 0)
            break;
        length += static_cast<std::size_t>(n);
    }
    close(output[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const char* mark = std::strstr(text, "first-frame-ns ");
    if (mark == nullptr || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return false;
    program.milliseconds.push_back((std::atoll(mark + 15) - start) / 1e6);
    program.maxRssKiB.push_back(usage.ru_maxrss);
    return true;
}

template <typename T> T median(std::vector<T> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: first_frame RUNS PROBE LABEL=BINARY@FOLDER...\n");
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    std::vector<Program> programs;
    for (int i = 3; i < argc; ++i) {
        const std::string argument = argv[i];
        const std::size_t equals = argument.find('='), at = argument.find('@');
        programs.push_back({argument.substr(0, equals),
                            argument.substr(equals + 1, at - equals - 1),
                            argument.substr(at + 1),
                            {},
                            {}});
    }
    for (int run = 0; run < runs; ++run) {
        for (Program& program : programs) {
            if (!runOnce(program, argv[2])) {
                std::fprintf(stderr, "first_frame: %s gave no first frame\n",
                             program.label.c_str());
                return 1;
            }
        }
    }
    for (const Program& program : programs)
        std::printf("%s %.2f %ld %zu\n", program.label.c_str(), median(program.milliseconds),
                    median(program.maxRssKiB), program.milliseconds.size());
    return 0;
}
