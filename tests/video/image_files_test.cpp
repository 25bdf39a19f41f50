// The picture readers and writers against files made by ImageMagick and Python at test time, hostile files,
// memory files, and the picture commands.
#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "support/process_runner.h"
#include "video/image_files.h"
#include "video/sprite.h"
#include "video_fixture.h"

namespace {

// The tool's full path, found along PATH (programs are started without a search).
std::string FindOnPath(const std::string& name) {
    const char* path = getenv("PATH");
    std::string directories = path != nullptr ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= directories.size()) {
        const size_t end = std::min(directories.find(':', start), directories.size());
        const std::string candidate = directories.substr(start, end - start) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return name;
}

std::string Tool(std::vector<std::string> argv) {
    argv[0] = FindOnPath(argv[0]);
    const ProcessResult result = RunProgram(argv);
    EXPECT_EQ(result.exit_status, 0) << argv[0] << " " << argv.back() << ": " << result.errors;
    return result.output;
}

// What ImageMagick says the picture holds: 8-bit R, G, B, A per pixel, top row first.
std::string ToolPixels(const std::string& path) { return Tool({"convert", path, "-depth", "8", "RGBA:-"}); }

// Compares our decode with the tool's, pixel by pixel. Colour is compared only where the tool's alpha is
// not 0 (a fully transparent pixel's colour is not part of the picture).
void ExpectSamePixels(const DecodedImage& image, const std::string& expected, const std::string& what,
                      bool compare_alpha = true) {
    ASSERT_EQ(expected.size(), static_cast<size_t>(image.width) * image.height * 4) << what;
    for (size_t i = 0; i < expected.size(); i += 4) {
        const uint8_t* ours = image.rgba + i;
        const uint8_t* theirs = reinterpret_cast<const uint8_t*>(expected.data()) + i;
        const size_t pixel = i / 4;
        if (compare_alpha) ASSERT_EQ(ours[3], theirs[3]) << what << " alpha of pixel " << pixel;
        else ASSERT_EQ(ours[3], 255) << what << " alpha of pixel " << pixel;
        if (theirs[3] == 0 && compare_alpha) continue;
        for (int c = 0; c < 3; ++c) ASSERT_EQ(ours[c], theirs[c]) << what << " channel " << c << " of pixel " << pixel;
    }
}

std::string MemoryName(const std::string& bytes) {
    char name[64];
    snprintf(name, sizeof(name), "mem://%08x.%llx", static_cast<unsigned>(bytes.size()),
             static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(bytes.data())));
    return name;
}

void Put32(std::string& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

class ImageFiles : public VideoTest {
protected:
    void SetUp() override {
        VideoTest::SetUp();
        // A 13 x 7 colourful picture (an odd width, so that BMP rows are padded).
        base_ = directory_.File("base.png");
        Tool({"convert", "-seed", "7", "-size", "13x7", "plasma:", "-depth", "8", base_});
    }
    std::string Make(const std::string& name, std::vector<std::string> arguments) {
        const std::string path = directory_.File(name);
        std::vector<std::string> argv = {"convert", base_};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        argv.back() += path;
        Tool(argv);
        return path;
    }
    TemporaryDirectory directory_;
    std::string base_;
};

}  // namespace

TEST_F(ImageFiles, BmpFilesOfEveryDepthAndHeader) {
    struct Case {
        const char* name;
        std::vector<std::string> arguments;  // the last one is the format prefix of the output
    };
    const Case cases[] = {
        {"info1.bmp", {"+dither", "-colors", "2", "-type", "palette", "BMP3:"}},
        {"info4.bmp", {"+dither", "-colors", "16", "-type", "palette", "BMP3:"}},
        {"info8.bmp", {"+dither", "-colors", "200", "-type", "palette", "-compress", "none", "BMP3:"}},
        {"info24.bmp", {"-type", "truecolor", "BMP3:"}},
        {"info32.bmp", {"-alpha", "set", "-define", "bmp3:alpha=true", "BMP3:"}},
        {"core1.bmp", {"+dither", "-colors", "2", "-type", "palette", "BMP2:"}},
        {"core4.bmp", {"+dither", "-colors", "16", "-type", "palette", "BMP2:"}},
        {"core8.bmp", {"+dither", "-colors", "200", "-type", "palette", "BMP2:"}},
        {"core24.bmp", {"-type", "truecolor", "BMP2:"}},
    };
    const uint16_t expected_bits[] = {1, 4, 8, 24, 32, 1, 4, 8, 24};
    int index = 0;
    for (const Case& c : cases) {
        const std::string path = Make(c.name, c.arguments);
        const std::string bytes = ReadWholeFile(path);
        const bool core = bytes[14] == 12;
        ASSERT_EQ(static_cast<uint8_t>(bytes[core ? 24 : 28]), expected_bits[index++]) << c.name;
        DecodedImage image;
        ASSERT_EQ(ReadBmpImage(image, path.c_str(), kNoColourKey), 1) << c.name;
        ExpectSamePixels(image, ToolPixels(path), c.name, false);
    }
}

TEST_F(ImageFiles, TopDownBmpReadsUpright) {
    const std::string bottom_up = Make("up.bmp", {"-type", "truecolor", "BMP3:"});
    const std::string top_down = directory_.File("down.bmp");
    // Python turns the rows around and negates the height.
    Tool({"python3", "-c",
          "import struct,sys\n"
          "d=open(sys.argv[1],'rb').read()\n"
          "w,h=struct.unpack('<ii',d[18:26]);rl=(w*3+3)//4*4\n"
          "rows=[d[54+i*rl:54+(i+1)*rl] for i in range(h)]\n"
          "open(sys.argv[2],'wb').write(d[:22]+struct.pack('<i',-h)+d[26:54]+b''.join(reversed(rows)))\n",
          bottom_up, top_down});
    DecodedImage image;
    ASSERT_EQ(ReadBmpImage(image, top_down.c_str(), kNoColourKey), 1);
    ExpectSamePixels(image, ToolPixels(top_down), "top-down", false);
    ExpectSamePixels(image, ToolPixels(bottom_up), "same picture", false);
}

TEST_F(ImageFiles, PngFilesOfEveryColourTypeAndDepth) {
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
    };
    const Case cases[] = {
        {"g1.png", {"-colorspace", "gray", "-define", "png:color-type=0", "-define", "png:bit-depth=1", "PNG:"}},
        {"g2.png", {"-colorspace", "gray", "-define", "png:color-type=0", "-define", "png:bit-depth=2", "PNG:"}},
        {"g4.png", {"-colorspace", "gray", "-define", "png:color-type=0", "-define", "png:bit-depth=4", "PNG:"}},
        {"g8.png", {"-colorspace", "gray", "-define", "png:color-type=0", "-define", "png:bit-depth=8", "PNG:"}},
        {"g16.png", {"-colorspace", "gray", "-define", "png:color-type=0", "-define", "png:bit-depth=16", "PNG:"}},
        {"rgb8.png", {"PNG24:"}},
        {"rgb16.png", {"PNG48:"}},
        {"rgba8.png", {"-alpha", "set", "-channel", "A", "-fx", "(i+j)%3/2", "+channel", "PNG32:"}},
        {"rgba16.png", {"-alpha", "set", "-channel", "A", "-fx", "(i+j)%2", "+channel", "PNG64:"}},
        {"palette.png", {"+dither", "-colors", "12", "PNG8:"}},
        {"palette_trns.png", {"-alpha", "set", "-channel", "A", "-fx", "i<3?0:1", "+channel", "PNG8:"}},
        {"interlaced.png", {"-interlace", "PNG", "PNG24:"}},
        {"interlaced_rgba.png", {"-alpha", "set", "-channel", "A", "-fx", "j%2", "+channel", "-interlace", "PNG", "PNG32:"}},
    };
    // IHDR colour type and bit depth the tool must have written, so each case really covers its kind.
    const int expected_type[] = {0, 0, 0, 0, 0, 2, 2, 6, 6, 3, 3, 2, 6};
    const int expected_depth[] = {1, 2, 4, 8, 16, 8, 16, 8, 16, 8, 8, 8, 8};
    int index = 0;
    for (const Case& c : cases) {
        const std::string path = Make(c.name, c.arguments);
        const std::string bytes = ReadWholeFile(path);
        ASSERT_EQ(bytes[24], expected_depth[index]) << c.name;
        ASSERT_EQ(bytes[25], expected_type[index]) << c.name;
        ++index;
        DecodedImage image;
        testing::internal::CaptureStdout();
        const int32_t result = ReadPngImage(image, path.c_str(), kNoColourKey);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << c.name;
        ASSERT_EQ(result, 1) << c.name;
        ExpectSamePixels(image, ToolPixels(path), c.name);
    }
}

TEST_F(ImageFiles, GreyWithAlphaFailsSilently) {
    const std::string path =
        Make("ga.png", {"-colorspace", "gray", "-alpha", "set", "-define", "png:color-type=4", "PNG:"});
    ASSERT_EQ(ReadWholeFile(path)[25], 4);
    DecodedImage image;
    testing::internal::CaptureStdout();
    EXPECT_EQ(ReadImageFile(image, path.c_str(), kNoColourKey), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(image.rgba, nullptr);
}

TEST_F(ImageFiles, ColourKeyMatchesExactly) {
    for (const char* format : {"BMP3:", "PNG24:"}) {
        const std::string path = directory_.File(std::string("key") + (format[0] == 'B' ? ".bmp" : ".png"));
        Tool({"convert", "-size", "1x1", "xc:rgb(255,0,128)", "xc:rgb(254,0,128)", "+append", "-type", "truecolor",
              std::string(format) + path});
        DecodedImage image;
        ASSERT_EQ(ReadImageFile(image, path.c_str(), 0x8000FF), 1) << format;
        for (int i = 0; i < 4; ++i) EXPECT_EQ(image.rgba[i], 0) << format;
        EXPECT_EQ(image.rgba[4], 254);
        EXPECT_EQ(image.rgba[7], 255);
    }
}

TEST_F(ImageFiles, PngNamedBmpLoadsThroughTheSecondReader) {
    const std::string path = Make("really_png.bmp", {"PNG24:"});
    DecodedImage image;
    EXPECT_EQ(ReadBmpImage(image, path.c_str(), kNoColourKey), 0);
    ASSERT_EQ(ReadImageFile(image, path.c_str(), kNoColourKey), 1);
    ExpectSamePixels(image, ToolPixels(path), "png named bmp");
}

TEST_F(ImageFiles, MemoryFilesReadLikeFiles) {
    for (const char* format : {"BMP3:", "PNG32:"}) {
        const std::string path = Make(std::string("m") + format[0], {"-type", "truecolor", format});
        const std::string bytes = ReadWholeFile(path);
        DecodedImage image;
        ASSERT_EQ(ReadImageFile(image, MemoryName(bytes).c_str(), kNoColourKey), 1) << format;
        ExpectSamePixels(image, ToolPixels(path), format);
        const std::string truncated = bytes.substr(0, bytes.size() / 2);
        EXPECT_EQ(ReadImageFile(image, MemoryName(truncated).c_str(), kNoColourKey), 0) << format;
    }
    DecodedImage image;
    EXPECT_EQ(ReadImageFile(image, "mem://zz", kNoColourKey), 0);
}

TEST_F(ImageFiles, WritersRoundTripThroughTheTool) {
    // 5 x 3 pixels, blue, green, red; pixel (1, 1) has the transparent colour's widened bytes.
    std::vector<uint8_t> pixels(5 * 3 * 3);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 17);
    const uint8_t key[3] = {128, 0, 248};
    memcpy(&pixels[(1 * 5 + 1) * 3], key, 3);
    for (const char* name : {"out.bmp", "out.PnG"}) {
        const std::string path = directory_.File(name);
        // Only the top-left 4 x 2 of the 5 x 3 source is written.
        ASSERT_EQ(WriteImageFile(path.c_str(), pixels.data(), 4, 2, 5, 3), 1) << name;
        const std::string theirs = ToolPixels(path);
        ASSERT_EQ(theirs.size(), 4u * 2u * 4u) << name;
        const bool png = name[4] == 'P';
        EXPECT_EQ(ReadWholeFile(path).substr(0, 4) == "\x89PNG", png) << name;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 4; ++x) {
                const uint8_t* in = &pixels[(y * 5 + x) * 3];
                const uint8_t* out = reinterpret_cast<const uint8_t*>(theirs.data()) + (y * 4 + x) * 4;
                const bool keyed = x == 1 && y == 1;
                if (keyed && png) {
                    EXPECT_EQ(out[3], 0) << name;
                } else if (keyed) {
                    EXPECT_EQ(out[0], 255);
                    EXPECT_EQ(out[1], 0);
                    EXPECT_EQ(out[2], 128);
                } else {
                    EXPECT_EQ(out[0], in[2]) << name << " " << x << "," << y;
                    EXPECT_EQ(out[1], in[1]) << name;
                    EXPECT_EQ(out[2], in[0]) << name;
                    EXPECT_EQ(out[3], 255) << name;
                }
            }
    }
    EXPECT_EQ(WriteImageFile(directory_.File("bad.bmp").c_str(), pixels.data(), 6, 2, 5, 3), 0);
    EXPECT_EQ(WriteImageFile("mem://00000010.1000", pixels.data(), 4, 2, 5, 3), 0);
    testing::internal::CaptureStdout();
    EXPECT_EQ(WriteImageFile("/nonexistent/dir/x.bmp", pixels.data(), 4, 2, 5, 3), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "can't write to file: /nonexistent/dir/x.bmp\n");
}

TEST_F(ImageFiles, OnePixelWideBmpHasPaddedRowsAndKeepsTheKey) {
    const uint8_t pixels[] = {128, 0, 248, 10, 20, 30};  // keyed, then blue 10, green 20, red 30
    const std::string path = directory_.File("narrow.bmp");
    ASSERT_EQ(WriteImageFile(path.c_str(), pixels, 1, 2, 1, 2), 1);
    const std::string bytes = ReadWholeFile(path);
    ASSERT_EQ(bytes.size(), 54u + 2u * 4u);
    EXPECT_EQ(bytes.substr(54), std::string("\x0a\x14\x1e\x00\x80\x00\xff\x00", 8));
    DecodedImage image;
    ASSERT_EQ(ReadBmpImage(image, path.c_str(), kNoColourKey), 1);
    const uint8_t expected[] = {255, 0, 128, 255, 30, 20, 10, 255};
    EXPECT_EQ(memcmp(image.rgba, expected, 8), 0);
}

TEST_F(ImageFiles, SaveScreenChoosesTheFormatByTheName) {
    Clear(0xFFFF);
    struct Case {
        const char* name;
        bool png;
    };
    for (const Case& c : {Case{"shot.PNG", true}, Case{"shot.bmp", false}, Case{"shot.png.bak", false},
                          Case{"x.pn", false}}) {
        const std::string path = directory_.File(c.name);
        ASSERT_EQ(SaveScreenImage(BasicString(path.c_str())), 1) << c.name;
        const std::string bytes = ReadWholeFile(path);
        EXPECT_EQ(bytes.substr(0, 4) == "\x89PNG", c.png) << c.name;
        EXPECT_EQ(bytes.substr(0, 2) == "BM", !c.png) << c.name;
        DecodedImage image;
        ASSERT_EQ(ReadImageFile(image, path.c_str(), kNoColourKey), 1);
        EXPECT_EQ(image.width, 320);
        EXPECT_EQ(image.rgba[0], 248);
        EXPECT_EQ(image.rgba[1], 252);
    }
}

TEST_F(ImageFiles, HostileBmpFilesFailCleanly) {
    const std::string good = ReadWholeFile(Make("good24.bmp", {"-type", "truecolor", "BMP3:"}));
    struct Case {
        const char* what;
        size_t at;  // where to write a 32-bit value; npos: truncate to `value` bytes
        uint32_t value;
    };
    const size_t kCut = std::string::npos;
    const Case cases[] = {
        {"empty", kCut, 0},
        {"magic only", kCut, 2},
        {"inside the header", kCut, 30},
        {"one row short", kCut, static_cast<uint32_t>(good.size() - 40)},
        {"one byte short", kCut, static_cast<uint32_t>(good.size() - 1)},
        {"data offset inside the header", 10, 20},
        {"data offset beyond the file", 10, 1000000},
        {"data offset near 4 GiB", 10, 0xFFFFFFF0u},
        {"header size 41", 14, 41},
        {"header size 0", 14, 0},
        {"width 0", 18, 0},
        {"negative width", 18, static_cast<uint32_t>(-13)},
        {"height 0", 22, 0},
        {"height of int32 minimum", 22, 0x80000000u},
        {"huge width", 18, 100000},
        {"width and height at the side limit", 18, 16384},
        {"bits per pixel 16", 28, 0x00010010},
        {"bits per pixel 2", 28, 0x00010002},
        {"run-length compressed", 30, 1},
        {"compressed as JPEG", 30, 4},
    };
    for (const Case& c : cases) {
        std::string bytes = good;
        if (c.at == kCut) bytes.resize(c.value);
        else Put32(bytes, c.at, c.value);
        if (std::string(c.what) == "width and height at the side limit") Put32(bytes, 22, 16384);
        const std::string path = directory_.File("hostile.bmp");
        WriteWholeFile(path, bytes);
        DecodedImage image;
        ASSERT_TRUE(SizeDecodedImage(image, 2, 2));
        EXPECT_EQ(ReadBmpImage(image, path.c_str(), kNoColourKey), 0) << c.what;
        EXPECT_EQ(image.rgba, nullptr) << c.what;
        EXPECT_EQ(image.width, 0) << c.what;
        EXPECT_EQ(ReadBmpImage(image, MemoryName(bytes).c_str(), kNoColourKey), 0) << c.what;
    }
}

TEST_F(ImageFiles, BmpPalettesAreReadSafely) {
    // An 8-bit picture whose palette holds only two entries: indices beyond them read as black.
    std::string bytes(54 + 8 + 4, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    Put32(bytes, 10, 54 + 8);
    Put32(bytes, 14, 40);
    Put32(bytes, 18, 3);
    Put32(bytes, 22, 1);
    Put32(bytes, 26, 0x00080001);
    const char palette[8] = {10, 20, 30, 0, 40, 50, 60, 0};
    memcpy(&bytes[54], palette, 8);
    bytes[62] = 1;
    bytes[63] = 0;
    bytes[64] = static_cast<char>(200);
    DecodedImage image;
    ASSERT_EQ(ReadBmpImage(image, MemoryName(bytes).c_str(), kNoColourKey), 1);
    const uint8_t expected[] = {60, 50, 40, 255, 30, 20, 10, 255, 0, 0, 0, 255};
    EXPECT_EQ(memcmp(image.rgba, expected, sizeof(expected)), 0);

    // The same picture with no palette at all has no colours to give.
    std::string no_palette = bytes.substr(0, 54) + bytes.substr(62);
    Put32(no_palette, 10, 54);
    EXPECT_EQ(ReadBmpImage(image, MemoryName(no_palette).c_str(), kNoColourKey), 0);
}

TEST_F(ImageFiles, HostilePngFilesFailCleanly) {
    const std::string good = ReadWholeFile(Make("good.png", {"PNG24:"}));
    // Chunk positions: the IHDR data starts at 16; find the first IDAT.
    const size_t idat = good.find("IDAT");
    ASSERT_NE(idat, std::string::npos);
    const uint32_t idat_length = (static_cast<uint8_t>(good[idat - 4]) << 24) | (static_cast<uint8_t>(good[idat - 3]) << 16) |
                                 (static_cast<uint8_t>(good[idat - 2]) << 8) | static_cast<uint8_t>(good[idat - 1]);
    auto fix_crc = [](std::string& bytes, size_t type_at, uint32_t length) {
        const uint32_t crc = crc32(0, reinterpret_cast<const Bytef*>(&bytes[type_at]), length + 4);
        for (int i = 0; i < 4; ++i) bytes[type_at + 4 + length + i] = static_cast<char>(crc >> (24 - 8 * i));
    };
    std::vector<std::pair<std::string, std::string>> cases;
    for (size_t cut : {size_t{8}, size_t{20}, size_t{33}, idat + 10, idat + 4 + idat_length / 2})
        cases.emplace_back("cut at " + std::to_string(cut), good.substr(0, cut));
    {
        // Corrupt compressed rows with a valid checksum: the error comes while the rows decode.
        std::string bytes = good;
        for (uint32_t i = 6; i < idat_length; i += 3) bytes[idat + 4 + i] = static_cast<char>(bytes[idat + 4 + i] ^ 0x5A);
        fix_crc(bytes, idat, idat_length);
        cases.emplace_back("corrupt rows", bytes);
    }
    {
        std::string bytes = good;
        bytes[idat + 4 + idat_length / 2] ^= 1;  // checksum left wrong
        cases.emplace_back("bad checksum", bytes);
    }
    // Found by the fuzzer: a text chunk declaring nearly 1 GB in a file of 59 bytes. libpng only warns about
    // such a length and would allocate it; the reader's allocator refuses it.
    cases.emplace_back("chunk longer than the file",
                       std::string("\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x07\x00\x00\x00\x05\x01\x03\x00\x00\x00"
                                   "\xb3\x54\x64\x9b\x00\x00\x00\x01\x62\x4b\x47\x44\x01\xff\x02\x00\x25\x3e\x00\x00\x00\x74\x45\x58\x74\x64\x61\x74\x6d\x00",
                                   59));
    for (uint32_t width : {0u, 100000u, 0x7FFFFFFFu}) {
        std::string bytes = good;
        for (int i = 0; i < 4; ++i) bytes[16 + i] = static_cast<char>(width >> (24 - 8 * i));
        fix_crc(bytes, 12, 13);
        cases.emplace_back("width " + std::to_string(width), bytes);
    }
    for (const auto& [what, bytes] : cases) {
        DecodedImage image;
        testing::internal::CaptureStdout();
        EXPECT_EQ(ReadImageFile(image, MemoryName(bytes).c_str(), kNoColourKey), 0) << what;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << what;
        EXPECT_EQ(image.rgba, nullptr) << what;
        const std::string path = directory_.File("hostile.png");
        WriteWholeFile(path, bytes);
        EXPECT_EQ(ReadPngImage(image, path.c_str(), kNoColourKey), 0) << what;
    }
}

// A large ancillary chunk that really is in the file is skipped, not allocated, and the picture still reads.
TEST_F(ImageFiles, PngWithAHugeTextChunkStillReads) {
    const std::string good = ReadWholeFile(Make("good.png", {"PNG24:"}));
    const size_t idat = good.find("IDAT");
    ASSERT_NE(idat, std::string::npos);
    const uint32_t length = 9u * 1024 * 1024;
    std::string chunk = "tEXtComment";
    chunk.push_back('\0');
    chunk.append(length - 8, 'x');
    const uint32_t crc = crc32(0, reinterpret_cast<const Bytef*>(chunk.data()), static_cast<uInt>(chunk.size()));
    std::string bytes = good.substr(0, idat - 4);
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(length >> (24 - 8 * i)));
    bytes += chunk;
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(crc >> (24 - 8 * i)));
    bytes += good.substr(idat - 4);
    DecodedImage expected, image;
    ASSERT_EQ(ReadImageFile(expected, MemoryName(good).c_str(), kNoColourKey), 1);
    ASSERT_EQ(ReadImageFile(image, MemoryName(bytes).c_str(), kNoColourKey), 1);
    ASSERT_EQ(image.width, expected.width);
    ASSERT_EQ(image.height, expected.height);
    EXPECT_EQ(0, memcmp(image.rgba, expected.rgba, static_cast<size_t>(image.width) * image.height * 4));
}

TEST_F(ImageFiles, LoadCommands) {
    const std::string path = Make("sprite.png", {"PNG24:"});
    LoadSpriteImage(BasicString(path.c_str()), 12);
    EXPECT_EQ(g_video_context->images[12].width, 13);
    EXPECT_EQ(g_video_context->image_info[12].alloc_width, 13);
    EXPECT_EQ(g_video_context->image_info[12].logical_height, 7);

    testing::internal::CaptureStdout();
    LoadSpriteImage(BasicString(directory_.File("missing.png").c_str()), 12);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(g_video_context->images[12].width, 0);
    EXPECT_EQ(g_video_context->image_info[12].alloc_width, -1);

    LoadAnimationStrip(BasicString(path.c_str()), 13, 4, 7);
    EXPECT_EQ(g_video_context->image_info[13].frame_width, 4);
    EXPECT_EQ(g_video_context->image_info[13].frame_height, 7);

    const std::string white = directory_.File("white.bmp");
    Tool({"convert", "-size", "320x240", "xc:white", "-type", "truecolor", "BMP3:" + white});
    Clear(0);
    ASSERT_EQ(LoadBackgroundImage(BasicString(white.c_str())), 1);
    EXPECT_EQ(g_video_context->background[0].width, 320);
    EXPECT_EQ(PixelsEqualTo(0xFFFF).size(), 320u * 240u);
    EXPECT_EQ(ReadPixel(10, 10), 248 | 252 << 8 | 248 << 16);
    testing::internal::CaptureStdout();
    EXPECT_EQ(LoadBackgroundImage(BasicString("no_such_picture.bmp")), 0);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(g_video_context->background[0].pixels, nullptr);
    EXPECT_EQ(PixelsEqualTo(0).size(), 320u * 240u);
}

TEST_F(ImageFiles, SaveSpriteWritesTheLogicalSizeFromTheTopLeft) {
    CreateOffscreen(1, 20, 5, 3);  // stored at 8 x 4
    SpriteSlot& slot = g_video_context->images[20];
    ASSERT_EQ(slot.width, 8);
    for (int i = 0; i < 8 * 4; ++i) slot.pixels[i] = static_cast<uint16_t>(i < 8 * 3 ? 0x07E0 : 0x001F);
    for (const char* name : {"s.bmp", "s.png"}) {
        const std::string path = directory_.File(name);
        ASSERT_EQ(SaveSpriteImage(BasicString(path.c_str()), 20), 1);
        DecodedImage image;
        ASSERT_EQ(ReadImageFile(image, path.c_str(), kNoColourKey), 1);
        EXPECT_EQ(image.width, 5);
        EXPECT_EQ(image.height, 3);
        for (int i = 0; i < 15; ++i) EXPECT_EQ(image.rgba[i * 4 + 1], 252) << name << " pixel " << i;
    }
    EXPECT_EQ(SaveSpriteImage(BasicString(directory_.File("e.bmp").c_str()), 21), 0);
}
