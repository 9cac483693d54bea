// Every fixture file against what its folder's README documents: files meant to decode do,
// at the documented size; files meant to fail are refused with a reason; the rest never
// crash. Then pixel checks on pictures that several files hold in different encodings.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "gfxutil/ImageDecoder.h"
#include "gfxutil/ImageTestFiles.h"

namespace quarn::testing {
namespace {

using gfx::Image;
using gfx::ImageDecoder;
using platform::Format;

struct Documented {
  std::string file;      // relative to tests/fixtures/images
  std::string expected;  // "decode", "fail" or "either"
  uint32_t width = 0;
  uint32_t height = 0;
};

const char* const kFolders[] = {"pngsuite", "bmpsuite", "tga", "dds", "jpeg"};

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  const size_t last = text.find_last_not_of(' ');
  return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

// The rows of a README's file table: | `name` | WxH or - | bytes | what | expected |
std::vector<Documented> ReadTable(const std::string& folder) {
  std::ifstream in(ImageFixture(folder + "/README.md"));
  std::vector<Documented> rows;
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("| `", 0) != 0)
      continue;
    std::vector<std::string> cells;
    size_t start = 1;
    for (size_t bar = line.find('|', start); bar != std::string::npos;
         bar = line.find('|', start)) {
      cells.push_back(Trimmed(line.substr(start, bar - start)));
      start = bar + 1;
    }
    if (cells.size() < 5 || cells[0].size() < 3)
      continue;
    Documented d;
    d.file = folder + "/" + cells[0].substr(1, cells[0].size() - 2);
    const std::string& expected = cells.back();
    d.expected = expected.find("fail") != std::string::npos     ? "fail"
                 : expected.find("either") != std::string::npos ? "either"
                                                                : "decode";
    const size_t x = cells[1].find('x');
    if (x != std::string::npos) {
      d.width = static_cast<uint32_t>(std::stoul(cells[1].substr(0, x)));
      d.height = static_cast<uint32_t>(std::stoul(cells[1].substr(x + 1)));
    }
    rows.push_back(d);
  }
  return rows;
}

std::vector<Documented> AllDocumented() {
  std::vector<Documented> all;
  for (const char* folder : kFolders) {
    const auto rows = ReadTable(folder);
    all.insert(all.end(), rows.begin(), rows.end());
  }
  return all;
}

bool IsImageFile(const std::filesystem::path& path) {
  static const std::set<std::string> kExtensions = {".png", ".bmp", ".tga", ".dds", ".jpg"};
  return kExtensions.count(path.extension().string()) != 0;
}

TEST(ImageFixtureTest, EveryImageFileIsDocumentedInItsFolder) {
  std::set<std::string> documented;
  for (const Documented& d : AllDocumented())
    documented.insert(d.file);
  // Counts from the top README: 175 + 47 + 15 + 14 + 7 files.
  EXPECT_EQ(documented.size(), 258u);
  size_t found = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(ImageFixture(""))) {
    if (!entry.is_regular_file() || !IsImageFile(entry.path()))
      continue;
    ++found;
    const std::string relative =
        std::filesystem::relative(entry.path(), ImageFixture("")).generic_string();
    EXPECT_TRUE(documented.count(relative)) << relative << " is in no README table";
  }
  EXPECT_EQ(found, documented.size());
}

TEST(ImageFixtureTest, FilesMeantToDecodeDecodeAtTheirDocumentedSize) {
  int checked = 0;
  for (const Documented& d : AllDocumented()) {
    if (d.expected != "decode")
      continue;
    Image image;
    std::string reason;
    ASSERT_TRUE(ImageDecoder::DecodeFile(ImageFixture(d.file), &image, &reason))
        << d.file << ": " << reason;
    EXPECT_EQ(image.width, d.width) << d.file;
    EXPECT_EQ(image.height, d.height) << d.file;
    EXPECT_EQ(image.pixels.size(), size_t{d.width} * d.height) << d.file;
    ++checked;
  }
  EXPECT_GT(checked, 200);
}

TEST(ImageFixtureTest, FilesMeantToFailAreRefusedWithAReason) {
  int checked = 0;
  for (const Documented& d : AllDocumented()) {
    if (d.expected != "fail")
      continue;
    Image image;
    std::string reason;
    EXPECT_FALSE(ImageDecoder::DecodeFile(ImageFixture(d.file), &image, &reason)) << d.file;
    EXPECT_FALSE(reason.empty()) << d.file;
    ++checked;
  }
  EXPECT_EQ(checked, 12 + 4 + 3);  // PNG, BMP, DDS
}

TEST(ImageFixtureTest, FilesThatMayGoEitherWayGiveAPictureOrAReason) {
  int checked = 0;
  for (const Documented& d : AllDocumented()) {
    if (d.expected != "either")
      continue;
    Image image;
    std::string reason;
    if (ImageDecoder::DecodeFile(ImageFixture(d.file), &image, &reason)) {
      EXPECT_EQ(image.pixels.size(), size_t{image.width} * image.height) << d.file;
      EXPECT_GT(image.width, 0u) << d.file;
    } else {
      EXPECT_FALSE(reason.empty()) << d.file;
    }
    ++checked;
  }
  EXPECT_GT(checked, 20);
}

TEST(ImageFixtureTest, ReasonsSayWhatIsWrong) {
  const auto reasonFor = [](const std::string& file) {
    Image image;
    std::string reason;
    EXPECT_FALSE(ImageDecoder::DecodeFile(ImageFixture(file), &image, &reason)) << file;
    return reason;
  };
  EXPECT_NE(reasonFor("bmpsuite/b/reallybig.bmp").find("too large"), std::string::npos);
  EXPECT_NE(reasonFor("bmpsuite/b/badplanes.bmp").find("plane"), std::string::npos);
  EXPECT_NE(reasonFor("bmpsuite/b/shortfile.bmp").find("cut short"), std::string::npos);
  EXPECT_NE(reasonFor("pngsuite/xs1n0g01.png").find("signature"), std::string::npos);
  EXPECT_NE(reasonFor("pngsuite/xhdn0g08.png").find("CRC"), std::string::npos);
  EXPECT_NE(reasonFor("dds/timeout-c60a3d7314213624607bfb3e38d551a8b24a7435.dds").find("large"),
            std::string::npos);
  EXPECT_NE(reasonFor("jpeg/truncated_jpeg.jpg").find("ends before"), std::string::npos);
}

// --- the same picture in different encodings ---

void ExpectSamePicture(const std::string& a, const std::string& b, int tolerance = 0) {
  const Image first = DecodeFixture(a);
  const Image second = DecodeFixture(b);
  ASSERT_EQ(first.width, second.width) << a << " / " << b;
  ASSERT_EQ(first.height, second.height) << a << " / " << b;
  EXPECT_LE(MaxChannelDifference(first, second), tolerance) << a << " / " << b;
}

TEST(ImageFixtureTest, BmpEncodingsOfOnePictureDecodeAlike) {
  for (const char* file : {"pal8rle.bmp", "pal8topdown.bmp", "pal8os2.bmp", "pal8v4.bmp",
                           "pal8v5.bmp", "pal8-0.bmp"}) {
    ExpectSamePicture("bmpsuite/g/pal8.bmp", std::string("bmpsuite/g/") + file);
  }
  ExpectSamePicture("bmpsuite/g/pal4.bmp", "bmpsuite/g/pal4rle.bmp");
  for (const char* file : {"rgb24pal.bmp", "rgb32.bmp", "rgb32bf.bmp", "rgb32bfdef.bmp"}) {
    ExpectSamePicture("bmpsuite/g/rgb24.bmp", std::string("bmpsuite/g/") + file);
  }
  // 5 and 6 bits per channel: within one step of 8 or 4.
  ExpectSamePicture("bmpsuite/g/rgb24.bmp", "bmpsuite/g/rgb16.bmp", 8);
  ExpectSamePicture("bmpsuite/g/rgb24.bmp", "bmpsuite/g/rgb16-565.bmp", 8);
  ExpectSamePicture("bmpsuite/g/rgb16.bmp", "bmpsuite/g/rgb16bfdef.bmp");
  ExpectSamePicture("bmpsuite/g/rgb16-565.bmp", "bmpsuite/g/rgb16-565pal.bmp");
}

TEST(ImageFixtureTest, WidenedSixteenBitWhiteIsFullWhite) {
  // The suite's whitest 5-bit and 6-bit values must come out as 255, not 248 or 252.
  for (const char* file : {"bmpsuite/g/rgb16.bmp", "bmpsuite/g/rgb16-565.bmp"}) {
    const Image image = DecodeFixture(file);
    const Image reference = DecodeFixture("bmpsuite/g/rgb24.bmp");
    bool sawWhite = false;
    for (size_t i = 0; i < image.pixels.size(); ++i) {
      if (reference.pixels[i] == 0xFFFFFFFFu) {
        EXPECT_EQ(image.pixels[i], 0xFFFFFFFFu) << file << " pixel " << i;
        sawWhite = true;
      }
    }
    EXPECT_TRUE(sawWhite) << file;
  }
}

TEST(ImageFixtureTest, TgaEncodingsAndOriginsOfOnePictureDecodeAlike) {
  ExpectSamePicture("tga/200x32_rgb_bl_raw.tga", "tga/200x32_rgb_tl_rle.tga");
  ExpectSamePicture("tga/200x32_rgba_bl_rle.tga", "tga/200x32_rgba_tl_raw.tga");
  ExpectSamePicture("tga/200x32_l_bl_raw.tga", "tga/200x32_l_tl_rle.tga");
  ExpectSamePicture("tga/200x32_p_bl_raw.tga", "tga/200x32_p_tl_rle.tga");
  // The RGBA file is the RGB picture with an alpha channel.
  Image rgb = DecodeFixture("tga/200x32_rgb_bl_raw.tga");
  Image rgba = DecodeFixture("tga/200x32_rgba_bl_rle.tga");
  ASSERT_EQ(rgb.pixels.size(), rgba.pixels.size());
  int differing = 0;
  for (size_t i = 0; i < rgb.pixels.size(); ++i) {
    if (rgba.pixels[i] >> 24 != 0 && (rgb.pixels[i] & 0xFFFFFF) != (rgba.pixels[i] & 0xFFFFFF)) {
      ++differing;
    }
  }
  EXPECT_EQ(differing, 0);
}

TEST(ImageFixtureTest, PngInterlacedAndPlainFilesDecodeAlike) {
  for (const char* kind : {"0g01", "0g02", "0g04", "0g08", "0g16", "2c08", "2c16", "3p01", "3p02",
                           "3p04", "3p08", "4a08", "4a16", "6a08", "6a16"}) {
    ExpectSamePicture(std::string("pngsuite/basn") + kind + ".png",
                      std::string("pngsuite/basi") + kind + ".png");
  }
  for (int size = 1; size <= 9; ++size) {
    const std::string bits = size <= 4 ? "3p01" : "3p02";
    ExpectSamePicture("pngsuite/s0" + std::to_string(size) + "n" + bits + ".png",
                      "pngsuite/s0" + std::to_string(size) + "i" + bits + ".png");
  }
  for (int size = 32; size <= 40; ++size) {
    ExpectSamePicture("pngsuite/s" + std::to_string(size) + "n3p04.png",
                      "pngsuite/s" + std::to_string(size) + "i3p04.png");
  }
}

TEST(ImageFixtureTest, PngDataSplitAndCompressedDifferentlyDecodesAlike) {
  for (const char* n : {"oi2", "oi4", "oi9"}) {
    ExpectSamePicture("pngsuite/oi1n0g16.png", std::string("pngsuite/") + n + "n0g16.png");
    ExpectSamePicture("pngsuite/oi1n2c16.png", std::string("pngsuite/") + n + "n2c16.png");
  }
  for (const char* z : {"z03", "z06", "z09"}) {
    ExpectSamePicture("pngsuite/z00n2c08.png", std::string("pngsuite/") + z + "n2c08.png");
  }
}

TEST(ImageFixtureTest, PngAlphaFollowsTheColourTypeAndTransparencyChunk) {
  for (const char* file : {"basn4a08.png", "basn6a16.png", "tbbn3p08.png", "tbrn2c08.png",
                           "tbwn0g16.png", "tm3n3p02.png", "tp1n3p08.png"}) {
    const Image image = DecodeFixture(std::string("pngsuite/") + file);
    EXPECT_TRUE(image.hasAlpha) << file;
    EXPECT_EQ(image.format, Format::A8R8G8B8) << file;
  }
  for (const char* file : {"basn0g08.png", "basn2c16.png", "basn3p08.png", "tp0n3p08.png"}) {
    const Image image = DecodeFixture(std::string("pngsuite/") + file);
    EXPECT_FALSE(image.hasAlpha) << file;
    EXPECT_EQ(image.format, Format::X8R8G8B8) << file;
    for (platform::Argb p : image.pixels)
      ASSERT_EQ(p >> 24, 0xFFu) << file;
  }
  // tRNS on a palette makes some entries see-through and leaves the others opaque.
  const Image palette = DecodeFixture("pngsuite/tp1n3p08.png");
  std::set<uint32_t> alphas;
  for (platform::Argb p : palette.pixels)
    alphas.insert(p >> 24);
  EXPECT_TRUE(alphas.count(0));
  EXPECT_TRUE(alphas.count(255));
}

TEST(ImageFixtureTest, JpegCodingsOfOnePictureDecodeAlike) {
  // Progressive and baseline give the same pixels with libjpeg; arithmetic coding nearly.
  ExpectSamePicture("jpeg/testorig.jpg", "jpeg/testprog.jpg");
  EXPECT_LT(MeanChannelDifference(DecodeFixture("jpeg/testorig.jpg"),
                                  DecodeFixture("jpeg/testimgari.jpg")),
            1.0);
  // The grey file is the luminance of the colour one.
  const Image colour = DecodeFixture("jpeg/testorig.jpg");
  const Image grey = DecodeFixture("jpeg/testimggray.jpg");
  ASSERT_EQ(colour.pixels.size(), grey.pixels.size());
  double difference = 0;
  for (size_t i = 0; i < grey.pixels.size(); ++i) {
    const platform::Argb g = grey.pixels[i];
    ASSERT_TRUE((g & 0xFF) == ((g >> 8) & 0xFF) && (g & 0xFF) == ((g >> 16) & 0xFF));
    const platform::Argb c = colour.pixels[i];
    const double luma = 0.299 * ((c >> 16) & 0xFF) + 0.587 * ((c >> 8) & 0xFF) + 0.114 * (c & 0xFF);
    difference += std::abs(luma - (g & 0xFF));
  }
  EXPECT_LT(difference / grey.pixels.size(), 3.0);
  EXPECT_FALSE(colour.hasAlpha);
  EXPECT_EQ(colour.format, Format::X8R8G8B8);
}

Image Flipped(const Image& image) {
  Image flipped = image;
  for (uint32_t y = 0; y < image.height; ++y) {
    for (uint32_t x = 0; x < image.width; ++x)
      flipped.At(x, y) = image.At(x, image.height - 1 - y);
  }
  return flipped;
}

Image RedBlueSwapped(const Image& image) {
  Image swapped = image;
  for (platform::Argb& p : swapped.pixels) {
    p = (p & 0xFF00FF00u) | ((p >> 16) & 0xFF) | ((p & 0xFF) << 16);
  }
  return swapped;
}

// Closer to the reference than the same picture turned upside down or with red and blue
// swapped could be: catches row order and channel order mistakes.
void ExpectResembles(const Image& image, const Image& reference, double within) {
  EXPECT_LT(MeanColourDifference(image, reference), within);
  EXPECT_GT(MeanColourDifference(Flipped(image), reference), 2 * within);
  EXPECT_GT(MeanColourDifference(RedBlueSwapped(image), reference), 2 * within);
}

TEST(ImageFixtureTest, OnePortraitAsDdsAndJpegLooksTheSame) {
  ExpectResembles(DecodeFixture("dds/hopper.dds"), DecodeFixture("jpeg/hopper_16bit_qtables.jpg"),
                  12.0);
}

TEST(ImageFixtureTest, DxtFilesReportTheirBlockFormatAndAlpha) {
  const Image dxt1 = DecodeFixture("dds/dxt1-rgb-4bbp-noalpha_MipMaps-1.dds");
  EXPECT_EQ(dxt1.format, Format::Dxt1);
  EXPECT_FALSE(dxt1.hasAlpha);
  const Image dxt3 = DecodeFixture("dds/dxt3-argb-8bbp-explicitalpha_MipMaps-1.dds");
  EXPECT_EQ(dxt3.format, Format::Dxt3);
  EXPECT_TRUE(dxt3.hasAlpha);
  const Image dxt5 = DecodeFixture("dds/dxt5-argb-8bbp-interpolatedalpha_MipMaps-1.dds");
  EXPECT_EQ(dxt5.format, Format::Dxt5);
  EXPECT_TRUE(dxt5.hasAlpha);
  // The three hold one picture: their colours agree.
  ExpectResembles(dxt1, dxt5, 10.0);
  ExpectResembles(dxt3, dxt5, 10.0);
}

TEST(ImageFixtureTest, UncompressedDdsMasksGiveChannelsAndAlpha) {
  const Image argb = DecodeFixture("dds/uncompressed_rgb.dds");
  EXPECT_EQ(argb.format, Format::A8R8G8B8);
  const Image la = DecodeFixture("dds/uncompressed_la.dds");
  EXPECT_TRUE(la.hasAlpha);
  for (platform::Argb p : la.pixels) {
    ASSERT_TRUE((p & 0xFF) == ((p >> 8) & 0xFF) && (p & 0xFF) == ((p >> 16) & 0xFF));
  }
  const Image x1r5g5b5 = DecodeFixture("dds/bgr15.dds");
  EXPECT_FALSE(x1r5g5b5.hasAlpha);
  for (platform::Argb p : x1r5g5b5.pixels)
    ASSERT_EQ(p >> 24, 0xFFu);
}

// --- pixels worked out by hand from the files' bytes ---

TEST(ImageFixtureTest, TgaRunCrossingARowEnd) {
  // Packets: raw 3 (0, 255, 255), raw 1 (0); bottom-left origin, 2 x 2.
  const Image image = DecodeFixture("tga/cross_scan_line.tga");
  EXPECT_EQ(image.At(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(image.At(1, 0), 0xFF000000u);
  EXPECT_EQ(image.At(0, 1), 0xFF000000u);
  EXPECT_EQ(image.At(1, 1), 0xFFFFFFFFu);
  EXPECT_FALSE(image.hasAlpha);
}

TEST(ImageFixtureTest, TgaSixteenBitAttributeBitIsAlpha) {
  // 0x541F: attribute 0, red 21, green 0, blue 31; 0x83EA: attribute 1, 0, 31, 10.
  const Image image = DecodeFixture("tga/rgba16.tga");
  EXPECT_EQ(image.At(0, 0), 0x00AD00FFu);
  EXPECT_EQ(image.At(1, 0), 0xFF00FF52u);
  EXPECT_TRUE(image.hasAlpha);
  EXPECT_EQ(image.format, Format::A8R8G8B8);
}

}  // namespace
}  // namespace quarn::testing
