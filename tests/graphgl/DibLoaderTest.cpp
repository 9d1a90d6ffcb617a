#include "graphgl/DibLoader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "TempDir.h"

namespace {

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace

TEST(DibLoader, ShippedWarningPictureLoadsWithAPowerOfTwoSize) {
    DibImage image;
    std::string error;
    ASSERT_TRUE(LoadDib(TALLYGLASS_WARNING_BMP, image, error)) << error;
    EXPECT_EQ(image.width & (image.width - 1), 0);
    EXPECT_EQ(image.height & (image.height - 1), 0);
    EXPECT_EQ(image.rgb.size(), static_cast<std::size_t>(image.width) * image.height * 3);
}

TEST(DibLoader, AcceptsABitmapWithoutItsFileHeaderAndGivesTheSamePixels) {
    TempDir dir;
    const std::string full = ReadBytes(TALLYGLASS_WARNING_BMP);
    const std::string headless = (dir.Path() / "headless.bmp").string();
    WriteBytes(headless, full.substr(14));
    DibImage a, b;
    std::string error;
    ASSERT_TRUE(LoadDib(TALLYGLASS_WARNING_BMP, a, error));
    ASSERT_TRUE(LoadDib(headless, b, error)) << error;
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.rgb, b.rgb);
}

TEST(DibLoader, ReportsEachFailureWithItsMessage) {
    TempDir dir;
    DibImage image;
    std::string error;

    const std::string empty = (dir.Path() / "empty.bmp").string();
    WriteBytes(empty, "");
    EXPECT_FALSE(LoadDib(empty, image, error));
    EXPECT_EQ(error, "Failed to open DIB file " + empty + ".\n");

    std::string odd = ReadBytes(TALLYGLASS_WARNING_BMP);
    odd[14] = 64;  // an info header size the loader does not know
    const std::string oddPath = (dir.Path() / "odd.bmp").string();
    WriteBytes(oddPath, odd);
    EXPECT_FALSE(LoadDib(oddPath, image, error));
    EXPECT_EQ(error, "Unknown DIB file format.");

    std::string cut = ReadBytes(TALLYGLASS_WARNING_BMP).substr(0, 60);
    const std::string cutPath = (dir.Path() / "cut.bmp").string();
    WriteBytes(cutPath, cut);
    EXPECT_FALSE(LoadDib(cutPath, image, error));
    EXPECT_EQ(error, "Image file conversion error.");
}
