// startup_bench FOLDER DRAWS [benchmark flags]: the program's own start-up work
// (the extension check, both images read and uploaded) timed in-process with
// Google Benchmark, in a GLUT window like the demo's, with the images in FOLDER.
// It first times the first textured draw against the median of DRAWS later ones:
// the difference is the driver building its code for this texturing state.
#include "glext/multitexture.h"
#include "render/quad.h"
#include "texture/textures.h"

#include <benchmark/benchmark.h>

#include <GL/glut.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace {

double drawMilliseconds()
{
    const auto start = std::chrono::steady_clock::now();
    glClear(GL_COLOR_BUFFER_BIT);
    drawLightMappedQuad();
    glFinish();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

void reportFirstDraw(int draws)
{
    const double first = drawMilliseconds();
    std::vector<double> later;
    for (int i = 0; i < draws; ++i)
        later.push_back(drawMilliseconds());
    std::sort(later.begin(), later.end());
    std::printf("first-draw-ms %.3f\nlater-draw-ms %.3f\nlater-draws %d\n", first,
                later[later.size() / 2], draws);
}

void startUpWork(benchmark::State& state)
{
    for (auto _ : state) {
        initMultitexture();
        createTextures();
        glFinish();
        state.PauseTiming();
        deleteTextures();
        state.ResumeTiming();
    }
}
BENCHMARK(startUpWork)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

int main(int argc, char** argv)
{
    const int draws = argc < 3 ? 0 : std::atoi(argv[2]);
    if (draws < 1 || chdir(argv[1]) != 0) {
        std::fprintf(stderr, "usage: startup_bench FOLDER DRAWS [benchmark flags]\n");
        return 2;
    }
    int glutArgc = 1;
    glutInit(&glutArgc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_SINGLE);
    glutInitWindowSize(500, 500);
    glutCreateWindow("lightmap startup bench");
    glMatrixMode(GL_PROJECTION);
    glOrtho(0.0, 1.0, 0.0, 1.0, -1.0, 1.0);

    if (!initMultitexture())
        return 1;
    std::printf("renderer %s, OpenGL %s\n", glGetString(GL_RENDERER), glGetString(GL_VERSION));
    createTextures();
    reportFirstDraw(draws);
    deleteTextures();

    argv[2] = argv[0];
    int benchArgc = argc - 2;
    benchmark::Initialize(&benchArgc, argv + 2);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
