// Parameters shared by the tests that run the demo over folders of images: which
// images are there, whether the driver offers ARB_multitexture, and which build
// of the program runs. Each case is named by its `name`, in test names and in
// failure messages alike.
#ifndef LIGHTMAP_TESTS_CASES_H
#define LIGHTMAP_TESTS_CASES_H

#include <ostream>
#include <string>

// The Linux build itself, the Windows build under Wine on the same X server, or
// the web build in headless Chromium.
enum class Launcher { Native, Wine, Browser };

inline void PrintTo(Launcher launcher, std::ostream* out)
{
    *out << (launcher == Launcher::Wine      ? "Wine"
             : launcher == Launcher::Browser ? "Browser"
                                             : "Native");
}

struct ImageCase {
    const char* name;
    bool light;
    bool wall;
    bool extension;
    Launcher launcher = Launcher::Native;
};

inline void PrintTo(const ImageCase& c, std::ostream* out)
{
    *out << c.name;
}

// For INSTANTIATE_TEST_SUITE_P: a case's test name is its `name` member.
struct CaseName {
    template <typename Info> std::string operator()(const Info& info) const
    {
        return info.param.name;
    }
};

#endif
