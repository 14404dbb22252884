// A mismatch's PNGs go to the test's own folder, LIGHTMAP_TEST_OUTPUT/SUITE.TEST/.
#include "image.h"

#include "bmp_writer.h"

#include <algorithm>
#include <filesystem>
#include <png.h>

static_assert(sizeof(Rgb) == 3, "an Image's pixels are packed RGB bytes, as PNG's are");

Image makeImage(int width, int height, Rgb fill)
{
    return {width, height, std::vector<Rgb>(static_cast<std::size_t>(width) * height, fill)};
}

bool writeImageBmp(const std::string& path, const Image& image)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(image.pixels.data());
    return writeBmp(path, image.width, image.height, {bytes, bytes + 3 * image.pixels.size()});
}

// PNG's rows run top to bottom: a negative stride keeps an Image's order.
bool writeImagePng(const std::string& path, const Image& image)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;
    if (png_image_write_to_file(&png, path.c_str(), 0, image.pixels.data(), -3 * image.width,
                                nullptr))
        return true;
    ADD_FAILURE() << "cannot write " << path << ": " << png.message;
    return false;
}

Image readPng(const std::string& path)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&png, path.c_str())) {
        png.format = PNG_FORMAT_RGB;
        Image image = makeImage(static_cast<int>(png.width), static_cast<int>(png.height));
        if (png_image_finish_read(&png, nullptr, image.pixels.data(), -3 * image.width, nullptr))
            return image;
    }
    ADD_FAILURE() << "cannot read " << path << ": " << png.message;
    return {};
}

namespace {

int channelDifference(Rgb a, Rgb b)
{
    return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
}

std::string text(Rgb c)
{
    return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) +
           ")";
}

// This test's own folder in the output folder, and a number for the comparison.
std::string outputPrefix()
{
    static int comparisons = 0;
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test ? std::string(test->test_suite_name()) + "." + test->name() : "none";
    std::replace(name.begin(), name.end(), '/', '_');
    std::filesystem::create_directories(LIGHTMAP_TEST_OUTPUT "/" + name);
    return LIGHTMAP_TEST_OUTPUT "/" + name + "/" + std::to_string(++comparisons) + "-";
}

} // namespace

Differences differingPixels(const Image& expected, const Image& observed, int tolerance)
{
    Differences found;
    if (expected.width != observed.width || expected.height != observed.height)
        return {-1, 0, 0, {}, {}};
    for (int y = expected.height - 1; y >= 0; --y) { // the top row first
        for (int x = 0; x < expected.width; ++x) {
            const Rgb a = expected.at(x, y), b = observed.at(x, y);
            if (channelDifference(a, b) > tolerance && found.count++ == 0)
                found = {1, x, expected.height - 1 - y, a, b};
        }
    }
    return found;
}

testing::AssertionResult imagesMatch(const Image& expected, const Image& observed, int tolerance)
{
    const Differences found = differingPixels(expected, observed, tolerance);
    if (found.count == 0)
        return testing::AssertionSuccess();
    const std::string prefix = outputPrefix();
    writeImagePng(prefix + "observed.png", observed);
    writeImagePng(prefix + "expected.png", expected);
    testing::AssertionResult failure = testing::AssertionFailure();
    if (found.count < 0) {
        failure << "sizes differ: expected " << expected.width << "x" << expected.height
                << ", observed " << observed.width << "x" << observed.height;
    } else {
        // Red where they differ by more than the tolerance, elsewhere the expected, dimmed.
        Image difference = expected;
        for (std::size_t i = 0; i < difference.pixels.size(); ++i) {
            const Rgb a = expected.pixels[i];
            difference.pixels[i] =
                channelDifference(a, observed.pixels[i]) > tolerance
                    ? Rgb{255, 0, 0}
                    : Rgb{std::uint8_t(a.r / 4), std::uint8_t(a.g / 4), std::uint8_t(a.b / 4)};
        }
        writeImagePng(prefix + "difference.png", difference);
        failure << found.count << " pixels differ by more than " << tolerance
                << " in a channel; the first at x " << found.x << ", y " << found.y
                << " from the top left: expected " << text(found.expected) << ", observed "
                << text(found.observed) << "; in red: " << prefix << "difference.png";
    }
    return failure << "\n  observed: " << prefix << "observed.png\n  expected: " << prefix
                   << "expected.png";
}
