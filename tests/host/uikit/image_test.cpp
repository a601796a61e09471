// UIImage and its data: PNG and JPEG decoding, the PNG encoder, files and scales.
#include <gtest/gtest.h>

#include <cstdio>  // before jpeglib.h, which needs FILE

#include <jpeglib.h>

#include <fstream>
#include <random>

#include "host/image_fixtures.h"
#include "host/quartz/image_codec.h"
#include "host/uikit/image.h"

using namespace host;
using fixtures::RGBA;

namespace {

std::vector<uint8_t> bytesOf(id data) {
  return static_cast<const NSData*>(data)->bytes();
}

Ref<> dataOf(std::vector<uint8_t> bytes) {
  return NSData::make(std::move(bytes));
}

// A JPEG of a flat colour, written with libjpeg (3 components, or 1 for grey).
std::vector<uint8_t> flatJPEG(int width, int height, int components, const uint8_t* colour) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = components;
  cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 95, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<uint8_t> row(static_cast<size_t>(width) * components);
  for (size_t i = 0; i < row.size(); ++i) row[i] = colour[i % components];
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&cinfo, &r, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::vector<uint8_t> out(buffer, buffer + size);
  jpeg_destroy_compress(&cinfo);
  free(buffer);
  return out;
}

RGBA pixelAt(const CGImage& image, int x, int y) {
  const uint32_t p = image.row(y)[x];
  return {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p),
          static_cast<uint8_t>(p >> 24)};
}

class Images : public fixtures::BootedHost {
 protected:
  Ref<> imageWithData(Ref<> data, double scale = 0) {
    Class image = rt::objc_getClass("UIImage");
    return scale ? rt::send(image, sel::imageWithData_scale, data, scale)
                 : rt::send(image, sel::imageWithData, data);
  }
  void writeFile(const std::string& devicePath, const std::vector<uint8_t>& bytes) {
    const auto file = host::devicePath(devicePath);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  }
};

TEST_F(Images, PNGRoundTripKeepsPremultipliedPixelsExactly) {
  std::mt19937 random(3);
  // Small sizes, then one whose rows span several stored deflate blocks of 64 KB.
  for (int n = 0; n < 21; ++n) {
    const int w = n < 20 ? 1 + random() % 30 : 200, h = n < 20 ? 1 + random() % 30 : 180;
    auto image = fixtures::makeImage(w, h, [&](int, int) { return fixtures::randomPixel(random); });
    Ref<> png = UIImagePNGRepresentation(fixtures::uiImage(image).get());
    ASSERT_TRUE(png);
    Ref<> decoded = imageWithData(png);
    ASSERT_TRUE(decoded);
    Ref<> pixels = rt::send(decoded, sel::CGImage);
    EXPECT_TRUE(image->isEqual(pixels.get())) << w << "x" << h;
  }
}

TEST_F(Images, SizeIsInPointsAndScaleComesFromDataOrFileName) {
  auto image = fixtures::flatImage(180, 90, {10, 20, 30, 255});
  Ref<> png = UIImagePNGRepresentation(fixtures::uiImage(image).get());
  EXPECT_EQ(rt::send(imageWithData(png, 3), sel::size), (rt::CGSize{60, 30}));
  EXPECT_EQ(rt::send(imageWithData(png, -2), sel::scale), 1);  // no such scale: 1

  for (auto [name, scale] : {std::pair{"icon@3x.png", 3.0}, {"icon.png", 1.0}}) {
    writeFile(std::string("/var/mobile/Icons/") + name, bytesOf(png.get()));
    Ref<> loaded = rt::send(rt::objc_getClass("UIImage"), sel::imageWithContentsOfFile,
                            NSStr(std::string("/var/mobile/Icons/") + name));
    ASSERT_TRUE(loaded) << name;
    EXPECT_EQ(rt::send(loaded, sel::scale), scale) << name;
    EXPECT_EQ(rt::send(loaded, sel::size), (rt::CGSize{180 / scale, 90 / scale})) << name;
  }
  EXPECT_EQ(imageScaleForPath("/a/b@2x.d/photo.jpg"), 1);
  EXPECT_EQ(imageScaleForPath("cover@3x.jpeg"), 3);
}

TEST_F(Images, DataThatIsNoReadableImageGivesNil) {
  auto image = fixtures::flatImage(8, 8, {1, 2, 3, 255});
  std::vector<uint8_t> png = encodePNG(*image);
  std::vector<uint8_t> truncated(png.begin(), png.begin() + png.size() / 2);
  std::vector<uint8_t> huge = png;  // the header claims 100000 x 100000 pixels
  huge[16] = 0, huge[17] = 1, huge[18] = 0x86, huge[19] = 0xa0;
  huge[20] = 0, huge[21] = 1, huge[22] = 0x86, huge[23] = 0xa0;
  std::vector<uint8_t> corrupt = png;
  for (size_t i = 40; i < corrupt.size() - 12; ++i) corrupt[i] ^= 0x5a;
  const uint8_t soi[] = {0xff, 0xd8, 0xff, 0xe0, 0, 16, 'J', 'F', 'I', 'F'};
  for (const auto& bytes : {std::vector<uint8_t>{}, std::vector<uint8_t>{'h', 'i'}, truncated, huge,
                            corrupt, std::vector<uint8_t>(std::begin(soi), std::end(soi))})
    EXPECT_FALSE(imageWithData(dataOf(bytes))) << bytes.size() << " bytes";
  EXPECT_NE(decodeImage(huge).error.find("100000 x 100000"), std::string::npos);
  EXPECT_FALSE(imageWithData(nullptr));
  EXPECT_FALSE(imageWithData(NSStr("not data")));
  // Files that are not images, or no regular files (the file reader's tests hold those).
  writeFile("/var/mobile/notes.txt", {'t', 'e', 'x', 't'});
  for (const char* path : {"/var/mobile/notes.txt", "/var/mobile/missing.png", "/var/mobile"})
    EXPECT_FALSE(rt::send(rt::objc_getClass("UIImage"), sel::imageWithContentsOfFile, NSStr(path)));
  EXPECT_FALSE(UIImagePNGRepresentation(nullptr));
  EXPECT_FALSE(UIImagePNGRepresentation(NSStr("not an image").get()));
}

TEST_F(Images, JPEGColourAndGreyDecodeToOpaquePixels) {
  const uint8_t orange[3] = {250, 120, 10}, grey[1] = {90};
  for (auto [components, colour] : {std::pair{3, orange}, std::pair{1, grey}}) {
    const std::vector<uint8_t> jpeg = flatJPEG(24, 16, components, colour);
    // The header states the size without a decoding; a cut header states none.
    ASSERT_TRUE(imageSize(jpeg));
    EXPECT_EQ(imageSize(jpeg)->width * 100 + imageSize(jpeg)->height, 2416u);
    EXPECT_FALSE(imageSize(std::span(jpeg).first(8)));
    Ref<> image = imageWithData(dataOf(jpeg), 2);
    ASSERT_TRUE(image) << components;
    EXPECT_EQ(rt::send(image, sel::size), (rt::CGSize{12, 8}));
    const RGBA p = pixelAt(*asCGImage(rt::send(image, sel::CGImage).get()), 5, 5);
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(p[c], colour[components == 1 ? 0 : c], 3) << c;
    EXPECT_EQ(p[3], 255);
  }
}

}  // namespace
