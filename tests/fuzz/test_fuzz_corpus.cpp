// Every input of the fuzz targets' seed corpora and every input that once
// made a target fail (regressions/) runs through its target in the normal
// suite, so what was found stays fixed, under the sanitizer build too.
#include "fuzz/fuzz_targets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> inputs(const std::string& folder, const char* target)
{
    std::vector<fs::path> out;
    const fs::path dir = fs::path(LEKTA_FUZZ_DIR) / folder / target;
    if (fs::is_directory(dir))
        for (const auto& e : fs::directory_iterator(dir))
            if (e.is_regular_file())
                out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::uint8_t> bytes_of(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void replay(const std::string& folder, bool must_exist)
{
    for (const lekta::fuzz::Target& t : lekta::fuzz::kTargets) {
        const std::vector<fs::path> files = inputs(folder, t.name);
        if (must_exist) {
            EXPECT_GE(files.size(), 5u) << "the seed corpus of " << t.name << " is missing";
        }
        for (const fs::path& p : files) {
            SCOPED_TRACE(p.string());
            const std::vector<std::uint8_t> b = bytes_of(p);
            EXPECT_EQ(t.run(b.data(), b.size()), 0);
        }
    }
}

TEST(FuzzCorpus, SeedsRunCleanThroughEveryTarget)
{
    replay("corpus", true);
}

TEST(FuzzCorpus, InputsThatOnceFailedRunClean)
{
    replay("regressions", false);
}

}  // namespace
