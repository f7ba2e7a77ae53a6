// lumora-render's pieces that need no engine: the command line, the BMP writer, the checksum.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/bmp_file.h"
#include "tools/render_options.h"

namespace lumora::render {
namespace {

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> words;
    size_t start = 0;
    while (start < line.size()) {
        size_t end = line.find(' ', start);
        if (end == std::string::npos) end = line.size();
        if (end > start) words.push_back(line.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

TEST(RenderOptions, StillWithEveryOption) {
    const auto parsed = ParseArguments(Split(
        "--pattern 25 --scheme 18 --size 2000x1500 --out a b.bmp --speed 0 --angles 0,3.5,-0.25 "
        "--rates 0.0001,-2e-4,1 --frames 7 --seed 4294967295"));
    // "a b.bmp" split in two above: the stray word is an unknown argument.
    EXPECT_FALSE(parsed.options);

    auto args = Split(
        "--pattern 25 --scheme 18 --size 2000x1500 --speed 0 --angles 0,3.5,-0.25 "
        "--rates 0.0001,-2e-4,1 --frames 7 --seed 4294967295 --out");
    args.push_back("a b.bmp");
    const auto ok = ParseArguments(args);
    ASSERT_TRUE(ok.options) << ok.error;
    const Options& o = *ok.options;
    EXPECT_EQ(o.pattern, 25);
    EXPECT_EQ(o.scheme, 18);
    EXPECT_EQ(o.width, 2000);
    EXPECT_EQ(o.height, 1500);
    EXPECT_EQ(o.speed, 0);
    EXPECT_EQ(o.frames, 7);
    EXPECT_EQ(o.seed, 4294967295u);
    EXPECT_EQ(o.out, "a b.bmp");
    ASSERT_TRUE(o.angles && o.rates);
    EXPECT_EQ((*o.angles)[1], 3.5L);
    EXPECT_EQ((*o.angles)[2], -0.25L);
    EXPECT_EQ((*o.rates)[0], 0.0001L);
    EXPECT_EQ((*o.rates)[1], -2e-4L);
}

TEST(RenderOptions, DefaultsOfStillAndBench) {
    const auto still = ParseArguments(Split("--pattern 1 --scheme 0 --size 3x2 --out x.bmp"));
    ASSERT_TRUE(still.options);
    EXPECT_EQ(still.options->speed, 20);
    EXPECT_EQ(still.options->frames, 1);
    EXPECT_FALSE(still.options->seed);
    EXPECT_FALSE(still.options->angles);

    const auto bench = ParseArguments(Split("--bench"));
    ASSERT_TRUE(bench.options);
    EXPECT_TRUE(bench.options->bench);
    EXPECT_EQ(bench.options->width, 480);
    EXPECT_EQ(bench.options->height, 270);
    const auto sized = ParseArguments(Split("--bench --size 960x540 --frames 5"));
    ASSERT_TRUE(sized.options);
    EXPECT_EQ(sized.options->width, 960);
    EXPECT_EQ(sized.options->frames, 5);
    EXPECT_EQ(sized.options->path, "");  // the engine's own choice
    for (const char* path : {"x87", "avx2", "avx512"}) {
        const auto forced = ParseArguments(Split(std::string("--bench --path ") + path));
        ASSERT_TRUE(forced.options) << path;
        EXPECT_EQ(forced.options->path, path);
    }
}

TEST(RenderOptions, ValuesAlsoFollowAnEqualsSign) {
    const auto joined = ParseArguments(Split(
        "--pattern=25 --scheme=3 --size=16x9 --out=a=b.bmp --rates=-0.0003,0.0001,-2e-4 --seed=7 "
        "--force --speed 0"));
    ASSERT_TRUE(joined.options) << joined.error;
    const Options& o = *joined.options;
    EXPECT_EQ(o.pattern, 25);
    EXPECT_EQ(o.width, 16);
    EXPECT_EQ(o.out, "a=b.bmp");  // only the first '=' parts name from value
    ASSERT_TRUE(o.rates);
    EXPECT_EQ((*o.rates)[0], -0.0003L);
    EXPECT_EQ(o.seed, 7u);
    EXPECT_TRUE(o.force);

    for (const char* line : {"--bench=1", "--force= --pattern=1 --scheme=0 --size=3x2 --out=x",
                             "--pattern= --scheme=0 --size=3x2 --out=x.bmp", "--colour=2"}) {
        const auto parsed = ParseArguments(Split(line));
        EXPECT_FALSE(parsed.options) << "'" << line << "'";
        EXPECT_FALSE(parsed.error.empty()) << "'" << line << "'";
    }
    EXPECT_EQ(ParseArguments({"--checksum=yes"}).error, "--checksum takes no value");
}

TEST(RenderOptions, BadArgumentsAreRefusedWithAReason) {
    const char* bad[] = {
        "",
        "--pattern 1 --scheme 0 --size 3x2",   // no output
        "--scheme 0 --size 3x2 --out x.bmp",   // no pattern
        "--pattern 1 --size 3x2 --out x.bmp",  // no scheme
        "--pattern 1 --scheme 0 --out x.bmp",  // no size
        "--pattern 0 --scheme 0 --size 3x2 --out x.bmp",
        "--pattern 26 --scheme 0 --size 3x2 --out x.bmp",
        "--pattern 1x --scheme 0 --size 3x2 --out x.bmp",
        "--pattern 1 --scheme -1 --size 3x2 --out x.bmp",
        "--pattern 1 --scheme 0 --size 3x0 --out x.bmp",
        "--pattern 1 --scheme 0 --size x2 --out x.bmp",
        "--pattern 1 --scheme 0 --size 16385x2 --out x.bmp",
        "--pattern 1 --scheme 0 --size 3x2 --out x.bmp --speed -1",
        "--pattern 1 --scheme 0 --size 3x2 --out x.bmp --angles 1,2,3,4",
        "--pattern 1 --scheme 0 --size 3x2 --out x.bmp --angles 1,,3",
        "--pattern 1 --scheme 0 --size 3x2 --out x.bmp --rates nan,0,0",
        "--pattern 1 --scheme 0 --size 3x2 --out x.bmp --seed 4294967296",
        "--pattern 1 --scheme 0 --size 3x2 --out x.bmp --frames",
        "--bench --out x.bmp",
        "--bench --scheme 2",
        "--pattern 1 --scheme 0 --size 3x2 --out x.bmp --threads 2",
        "--bench --path sse2",
        "--bench --path AVX2",
    };
    for (const char* line : bad) {
        const auto parsed = ParseArguments(Split(line));
        EXPECT_FALSE(parsed.options) << "'" << line << "'";
        EXPECT_FALSE(parsed.error.empty()) << "'" << line << "'";
    }
}

TEST(RenderOptions, HelpVersionReferenceAndTheFormatByName) {
    for (const char* line : {"--help", "-h", "--pattern 99 -h", "--size 0x0 --help"})
        EXPECT_TRUE(ParseArguments(Split(line)).options->help) << line;
    EXPECT_TRUE(ParseArguments(Split("--version --bench")).options->version);
    const auto checked =
        ParseArguments(Split("--pattern 1 --scheme 0 --size 3x2 --checksum --reference"));
    ASSERT_TRUE(checked.options) << checked.error;
    EXPECT_TRUE(checked.options->reference);
    EXPECT_TRUE(IsPngName("a.png"));
    EXPECT_TRUE(IsPngName("dir/A.PnG"));
    EXPECT_FALSE(IsPngName("a.png.bmp"));
    EXPECT_FALSE(IsPngName("png"));
    EXPECT_FALSE(IsPngName("a.bmp"));
}

TEST(BmpWriter, TinyAsymmetricImageLandsBottomUpInBlueGreenRed) {
    // 3 x 2, stride 4 (a padding pixel per row that must not appear in the file).
    const uint32_t pixels[] = {
        0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xDEADBEEF,  // top row: red, green, blue
        0xFF102030, 0xFFFFFFFF, 0xFF000000, 0xDEADBEEF,  // bottom row
    };
    const std::vector<uint8_t> bmp = EncodeBmp(pixels, 3, 2, 4);
    const size_t rowBytes = 12;  // 9 bytes of pixels, padded to a multiple of 4
    ASSERT_EQ(bmp.size(), 54 + 2 * rowBytes);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(bmp[2], 54 + 24);  // file size
    EXPECT_EQ(bmp[10], 54);      // pixel offset
    EXPECT_EQ(bmp[18], 3);       // width
    EXPECT_EQ(bmp[22], 2);       // height, positive: bottom-up
    EXPECT_EQ(bmp[28], 24);      // bits per pixel
    const std::vector<uint8_t> bottom(bmp.begin() + 54, bmp.begin() + 54 + rowBytes);
    const std::vector<uint8_t> top(bmp.begin() + 54 + rowBytes, bmp.end());
    EXPECT_EQ(bottom, (std::vector<uint8_t>{0x30, 0x20, 0x10, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(top, (std::vector<uint8_t>{0, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0, 0, 0, 0}));
}

TEST(Checksum, SeesOrderAndStrideAndIgnoresPadding) {
    const uint32_t a[] = {1, 2, 99, 3, 4, 98};
    const uint32_t b[] = {2, 1, 77, 3, 4, 66};
    const uint32_t c[] = {1, 2, 0, 3, 4, 0};
    EXPECT_EQ(FrameChecksum(a, 2, 2, 3), FrameChecksum(c, 2, 2, 3));
    EXPECT_NE(FrameChecksum(a, 2, 2, 3), FrameChecksum(b, 2, 2, 3));
    EXPECT_NE(FrameChecksum(a, 2, 2, 3), FrameChecksum(a, 3, 2, 3));
    EXPECT_NE(FrameChecksum(a, 2, 1, 3), FrameChecksum(a, 2, 2, 3));
}

}  // namespace
}  // namespace lumora::render
