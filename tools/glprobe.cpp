// LD_PRELOAD probe for tests and benchmarks: watches and bends the few GL calls
// that the program makes at its edges, so that a real run can be observed from
// outside and driven into states a healthy driver never reports.
//
//   LIGHTMAP_PROBE_EXTENSIONS   replaces glGetString(GL_EXTENSIONS); "(null)" gives null
//   LIGHTMAP_PROBE_NULL_PROCS   space-separated names whose lookups yield null
//   LIGHTMAP_PROBE_FLUSH_FILE   one byte is appended to this file after every glFlush
//   LIGHTMAP_PROBE_EXIT_AFTER   the process exits (status 0) after this many glFlush calls
//   LIGHTMAP_PROBE_FIRST_FRAME  after the first glFlush: glFinish, print the
//                               CLOCK_MONOTONIC time in nanoseconds, then _exit(0)
#include <GL/gl.h>
#include <GL/glx.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {

template <typename Function> Function realFunction(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

// Whether `name` is a word of LIGHTMAP_PROBE_NULL_PROCS.
bool listedAsNull(const GLubyte* name)
{
    const char* list = std::getenv("LIGHTMAP_PROBE_NULL_PROCS");
    const std::string word = " " + std::string(reinterpret_cast<const char*>(name)) + " ";
    return list != nullptr && (" " + std::string(list) + " ").find(word) != std::string::npos;
}

// The real lookup `which`, unless `name` is listed as null.
__GLXextFuncPtr lookUp(const char* which, const GLubyte* name)
{
    return listedAsNull(name) ? nullptr
                              : realFunction<__GLXextFuncPtr (*)(const GLubyte*)>(which)(name);
}

long long monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

int flushCount = 0;

} // namespace

extern "C" {

const GLubyte* glGetString(GLenum name)
{
    const char* replacement = std::getenv("LIGHTMAP_PROBE_EXTENSIONS");
    if (name == GL_EXTENSIONS && replacement != nullptr)
        return std::strcmp(replacement, "(null)") == 0
                   ? nullptr
                   : reinterpret_cast<const GLubyte*>(replacement);
    return realFunction<const GLubyte* (*)(GLenum)>("glGetString")(name);
}

__GLXextFuncPtr glXGetProcAddressARB(const GLubyte* name)
{
    return lookUp("glXGetProcAddressARB", name);
}

__GLXextFuncPtr glXGetProcAddress(const GLubyte* name)
{
    return lookUp("glXGetProcAddress", name);
}

void glFlush()
{
    realFunction<void (*)()>("glFlush")();
    ++flushCount;

    if (std::getenv("LIGHTMAP_PROBE_FIRST_FRAME") != nullptr) {
        realFunction<void (*)()>("glFinish")();
        std::printf("first-frame-ns %lld\n", monotonicNanoseconds());
        std::fflush(stdout);
        _exit(0);
    }
    if (const char* path = std::getenv("LIGHTMAP_PROBE_FLUSH_FILE")) {
        const int fd = open(path, O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd < 0 || write(fd, "f", 1) != 1)
            std::perror("glprobe: the flush file");
        if (fd >= 0)
            close(fd);
    }
    if (const char* limit = std::getenv("LIGHTMAP_PROBE_EXIT_AFTER")) {
        if (flushCount >= std::atoi(limit))
            std::exit(0);
    }
}

} // extern "C"
