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

namespace {

template <typename Function> Function realFunction(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

bool listedAsNull(const char* name)
{
    const char* list = std::getenv("LIGHTMAP_PROBE_NULL_PROCS");
    if (list == nullptr)
        return false;
    const std::size_t length = std::strlen(name);
    for (const char* at = std::strstr(list, name); at != nullptr; at = std::strstr(at + 1, name)) {
        const bool startsWord = at == list || at[-1] == ' ';
        const bool endsWord = at[length] == '\0' || at[length] == ' ';
        if (startsWord && endsWord)
            return true;
    }
    return false;
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
    if (name == GL_EXTENSIONS && replacement != nullptr) {
        if (std::strcmp(replacement, "(null)") == 0)
            return nullptr;
        return reinterpret_cast<const GLubyte*>(replacement);
    }
    return realFunction<const GLubyte* (*)(GLenum)>("glGetString")(name);
}

__GLXextFuncPtr glXGetProcAddressARB(const GLubyte* name)
{
    if (listedAsNull(reinterpret_cast<const char*>(name)))
        return nullptr;
    return realFunction<__GLXextFuncPtr (*)(const GLubyte*)>("glXGetProcAddressARB")(name);
}

__GLXextFuncPtr glXGetProcAddress(const GLubyte* name)
{
    if (listedAsNull(reinterpret_cast<const char*>(name)))
        return nullptr;
    return realFunction<__GLXextFuncPtr (*)(const GLubyte*)>("glXGetProcAddress")(name);
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
        if (fd >= 0) {
            const char mark = 'f';
            if (write(fd, &mark, 1) != 1)
                std::perror("glprobe");
            close(fd);
        }
    }
    if (const char* limit = std::getenv("LIGHTMAP_PROBE_EXIT_AFTER")) {
        if (flushCount >= std::atoi(limit))
            std::exit(0);
    }
}

} // extern "C"
