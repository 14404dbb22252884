// Parameters shared by the tests that run the demo over folders of images: which
// images are there and whether the driver offers ARB_multitexture. Each case is
// named by its `name`, in test names and in failure messages alike.
#ifndef LIGHTMAP_TESTS_CASES_H
#define LIGHTMAP_TESTS_CASES_H

#include <ostream>
#include <string>

struct ImageCase {
    const char* name;
    bool light;
    bool wall;
    bool extension;
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
