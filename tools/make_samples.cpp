// lekta_make_samples: writes sample test files for demonstrations, tests and
// benchmarks.
//
//   lekta_make_samples --demo DIR              the demo set (fixed content)
//   lekta_make_samples --count N [--seed S] DIR  N realistic laboratory files
//   lekta_make_samples --damaged DIR           files the catalogue must reject
//
// The options combine ("--demo --damaged DIR"). Files are written into DIR
// only, which is created when missing.
#include "lib/bmd_writer.h"
#include "lib/sample_tests.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

int usage()
{
    std::fprintf(stderr,
                 "usage: lekta_make_samples [--demo] [--count N [--seed S]] [--damaged] DIR\n"
                 "  --demo       the demo set: every kind of test, a series of six, and the "
                 "largest test a file may hold\n"
                 "  --count N    N realistic test files, named by series and number\n"
                 "  --seed S     seed of the --count files (default 1)\n"
                 "  --damaged    a few damaged files for the catalogue's error handling\n");
    return 2;
}

bool parse_count(const char* text, unsigned long long& out)
{
    char* end = nullptr;
    errno = 0;
    out = std::strtoull(text, &end, 10);
    return errno == 0 && end != text && *end == '\0' && text[0] != '-';
}

}  // namespace

int main(int argc, char** argv)
{
    bool demo = false, damaged = false, have_count = false;
    unsigned long long count = 0, seed = 1;
    std::string dir;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--demo") {
            demo = true;
        } else if (a == "--damaged") {
            damaged = true;
        } else if (a == "--count" && i + 1 < argc) {
            if (!parse_count(argv[++i], count))
                return usage();
            have_count = true;
        } else if (a == "--seed" && i + 1 < argc) {
            if (!parse_count(argv[++i], seed))
                return usage();
        } else if (a == "--help" || a == "-h") {
            usage();
            return 0;
        } else if (!a.empty() && a[0] != '-' && dir.empty()) {
            dir = a;
        } else {
            return usage();
        }
    }
    if (dir.empty() || !(demo || damaged || have_count))
        return usage();

    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (!fs::is_directory(dir, ec)) {
        std::fprintf(stderr, "lekta_make_samples: %s is not a directory\n", dir.c_str());
        return 1;
    }

    unsigned long long written = 0, bytes = 0;
    auto put = [&](const std::string& name, const std::vector<unsigned char>& data) {
        // Names are plain file names: nothing is written outside DIR.
        if (name.find('/') != std::string::npos || name.empty() || name == "." || name == "..")
            return false;
        const std::string path = (fs::path(dir) / name).string();
        if (!lekta::tools::write_bytes(path, data)) {
            std::fprintf(stderr, "lekta_make_samples: cannot write %s\n", path.c_str());
            return false;
        }
        ++written;
        bytes += data.size();
        return true;
    };

    if (demo) {
        for (const auto& t : lekta::tools::demo_tests())
            if (!put(t.name, lekta::tools::encode_bmd(t.test)))
                return 1;
        for (const auto& t : lekta::tools::demo_series_tests())
            if (!put(t.name, lekta::tools::encode_bmd(t.test)))
                return 1;
    }
    if (have_count) {
        lekta::tools::SampleFolder folder(seed);
        for (unsigned long long i = 0; i < count; ++i) {
            const auto t = folder.next();
            if (!put(t.name, lekta::tools::encode_bmd(t.test)))
                return 1;
        }
    }
    if (damaged)
        for (const auto& f : lekta::tools::damaged_files())
            if (!put(f.name, f.bytes))
                return 1;

    std::printf("lekta_make_samples: wrote %llu files (%llu bytes) to %s\n", written, bytes,
                dir.c_str());
    return 0;
}
