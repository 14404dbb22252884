// The texture set on the real driver, in a GLUT window of the test's own: what
// createTextures leaves in OpenGL for each mix of present and missing files, and
// that deleteTextures frees both names.
#include "texture/textures.h"

#include "support/launcher.h"

#include <GL/glut.h>
#include <unistd.h>

namespace {

// An image whose every texel differs from its neighbours.
Image patternImage(int side, int seed)
{
    Image image = makeImage(side, side);
    auto* bytes = reinterpret_cast<std::uint8_t*>(image.pixels.data()); // packed RGB
    for (std::size_t i = 0; i < image.pixels.size() * 3; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * (seed + 3) + i / 97);
    return image;
}

// A parameter of the bound texture, or with `level` of its level 0 image.
GLint parameter(GLenum name, bool level = false)
{
    GLint value = -1;
    if (level)
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
    else
        glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

// GLUT's own message and exit, where there is no display: CTest runs this under
// scripts/with-xvfb.
class TextureSetTest : public testing::TestWithParam<ImageFiles> {
  protected:
    static void SetUpTestSuite()
    {
        int argc = 1;
        char name[] = "texture_set_test";
        char* argv[] = {name, nullptr};
        glutInit(&argc, argv);
        glutInitDisplayMode(GLUT_RGB | GLUT_SINGLE);
        glutInitWindowSize(64, 64);
        glutCreateWindow("texture set test");
    }

    // Checks one slot after createTextures: a 32x32 or 256x256 RGB image with
    // repeat wrapping and linear filtering and the file's texels, or no image.
    static void expectSlot(int slot, int side, const Image* file)
    {
        SCOPED_TRACE("slot " + std::to_string(slot));
        glBindTexture(GL_TEXTURE_2D, textureNames[slot]);
        if (file == nullptr) {
            EXPECT_EQ(parameter(GL_TEXTURE_WIDTH, true), 0) << "a missing file uploads nothing";
            return;
        }
        EXPECT_EQ(parameter(GL_TEXTURE_WIDTH, true), side);
        EXPECT_EQ(parameter(GL_TEXTURE_HEIGHT, true), side);
        EXPECT_EQ(parameter(GL_TEXTURE_INTERNAL_FORMAT, true), GL_RGB);
        EXPECT_EQ(parameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
        EXPECT_EQ(parameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
        EXPECT_EQ(parameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        EXPECT_EQ(parameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
        Image stored = makeImage(side, side);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, stored.pixels.data());
        EXPECT_TRUE(imagesMatch(*file, stored, 0)) << "the texels against the file's";
    }
};

TEST_P(TextureSetTest, CreatesWhatTheFilesHoldAndDeletesBothNames)
{
    const ImageFiles files = GetParam();
    const std::string folder = makeTempFolder("textures");
    const Image light = patternImage(32, 1), wall = patternImage(256, 2);
    ASSERT_TRUE(!files.light || writeImageBmp(folder + "/light.bmp", light));
    ASSERT_TRUE(!files.wall || writeImageBmp(folder + "/wall.bmp", wall));

    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(folder.c_str()), 0);
    testing::internal::CaptureStdout();
    createTextures();
    const std::string printed = testing::internal::GetCapturedStdout();
    ASSERT_EQ(chdir(previous), 0);

    EXPECT_EQ(printed, "") << "missing images are skipped silently";
    ASSERT_NE(textureNames[0], 0u);
    ASSERT_NE(textureNames[1], 0u);
    EXPECT_NE(textureNames[0], textureNames[1]);
    EXPECT_EQ(glIsTexture(textureNames[0]), files.light ? GL_TRUE : GL_FALSE);
    EXPECT_EQ(glIsTexture(textureNames[1]), files.wall ? GL_TRUE : GL_FALSE);
    expectSlot(0, 32, files.light ? &light : nullptr);
    expectSlot(1, 256, files.wall ? &wall : nullptr);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    deleteTextures();
    EXPECT_EQ(glIsTexture(textureNames[0]), GL_FALSE);
    EXPECT_EQ(glIsTexture(textureNames[1]), GL_FALSE);
}

INSTANTIATE_TEST_SUITE_P(Folders, TextureSetTest, testing::ValuesIn(imageFiles), caseName);

} // namespace
