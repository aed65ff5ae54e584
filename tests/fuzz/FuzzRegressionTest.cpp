// Replays every seed and every kept crash input of the fuzz targets through
// the same entry functions, in the normal build. A broken property aborts.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzEntries.h"

namespace fs = std::filesystem;

namespace {

using Entry = void (*)(const uint8_t*, size_t);

struct Target {
    const char* name;
    Entry entry;
};

const Target kTargets[] = {
    {"intparse", &zanfeld::fuzz::FuzzIntParse}, {"settings", &zanfeld::fuzz::FuzzSettings},
    {"listfile", &zanfeld::fuzz::FuzzListFile}, {"namefilter", &zanfeld::fuzz::FuzzNameFilter},
    {"picsize", &zanfeld::fuzz::FuzzPicSize},   {"takendate", &zanfeld::fuzz::FuzzTakenDate},
};

std::vector<fs::path> Inputs(const std::string& kind, const std::string& target) {
    std::vector<fs::path> files;
    const fs::path dir = fs::path(ZANFELD_FUZZ_DIR) / kind / target;
    if (!fs::is_directory(dir)) return files;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.is_regular_file()) files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

class FuzzRegression : public ::testing::TestWithParam<Target> {};

TEST_P(FuzzRegression, CorpusAndRegressionsPass) {
    const Target target = GetParam();
    const auto corpus = Inputs("corpus", target.name);
    const auto regressions = Inputs("regressions", target.name);
    EXPECT_FALSE(corpus.empty()) << "no seed corpus for " << target.name;
    for (const auto* list : {&corpus, &regressions}) {
        for (const fs::path& path : *list) {
            SCOPED_TRACE(path.string());
            std::ifstream in(path, std::ios::binary);
            const std::string data((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
            target.entry(reinterpret_cast<const uint8_t*>(data.data()), data.size());
        }
    }
    std::printf("[ replay   ] %s: %zu seeds, %zu regression inputs\n", target.name, corpus.size(),
                regressions.size());
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzRegression, ::testing::ValuesIn(kTargets),
                         [](const auto& info) { return std::string(info.param.name); });

// A seed made here rather than kept in the corpus, for its size: a JPEG whose
// frame header lies beyond the probe's read budget, behind comments of no
// body at all, which must be read to be passed. `make fuzz` makes the same.
TEST(FuzzRegressionMade, PictureWhoseHeaderLiesBeyondTheBudget) {
    std::ifstream in(fs::path(ZANFELD_FUZZ_DIR) / "corpus/picsize/seed.jpg", std::ios::binary);
    const std::string jpeg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(jpeg.substr(0, 2), "\xFF\xD8");
    std::string data = jpeg.substr(0, 2);
    const int64_t count = zanfeld::PictureFile::kReadBudget / 4 + 10000;
    for (int64_t i = 0; i < count; ++i) data.append("\xFF\xFE\x00\x02", 4);
    data += jpeg.substr(2);
    zanfeld::fuzz::FuzzPicSize(reinterpret_cast<const uint8_t*>(data.data()), data.size());
}

// The taken-date seeds are what the tests' generator makes, so that they
// change with it.
TEST(FuzzRegressionMade, TakenDateSeedsAreTheGeneratorsOwn) {
    for (const auto& [name, bytes] : zanfeld::test::TakenDateSeeds()) {
        SCOPED_TRACE(name);
        std::ifstream in(fs::path(ZANFELD_FUZZ_DIR) / "corpus/takendate" / name, std::ios::binary);
        const std::string kept((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        EXPECT_TRUE(kept == bytes);
    }
}

}  // namespace
