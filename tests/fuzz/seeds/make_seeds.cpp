// lekta_fuzz_seeds DIR: writes the fuzz targets' seed corpora into
// DIR/test_file, DIR/link_protocol, DIR/number and DIR/curve (the committed
// ones live in tests/fuzz/corpus/). Small inputs that reach every branch a
// target starts from: test files of every kind from the sample generator,
// the unit's dialogues from its protocol encoder, number texts and values,
// curves of every kind of material for the results engine.
#include "fuzz/link_script.h"
#include "lib/bmd_writer.h"
#include "lib/sample_tests.h"
#include "lib/unit_curve.h"
#include "lib/unit_protocol.h"

#include <cfloat>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace lekta::tools;
using lekta::fuzz::link_script::Writer;
namespace ls = lekta::fuzz::link_script;

fs::path g_root;

void put(const char* target, const std::string& name, const std::vector<std::uint8_t>& bytes)
{
    const fs::path dir = g_root / target;
    fs::create_directories(dir);
    std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// Test files: one short test of each kind and shape, and the damaged ones.
void test_files()
{
    struct Kind {
        const char* name;
        SampleKind kind;
        std::uint8_t shape;
    };
    const Kind kinds[] = {
        {"tension-round", SampleKind::Tension, 0},
        {"tension-strip", SampleKind::Tension, 1},
        {"tension-rebar", SampleKind::Tension, 2},
        {"tension-other", SampleKind::Tension, 3},
        {"compression", SampleKind::Compression, 0},
        {"extensometer", SampleKind::Extensometer, 0},
        {"no-curve-tension", SampleKind::NoCurveTension, 3},
        {"no-curve-compression", SampleKind::NoCurveCompression, 3},
        {"extensometer-no-curve", SampleKind::ExtensometerNoCurve, 3},
        {"no-curve-other-shape", SampleKind::NoCurveOtherShape, 1},
    };
    std::uint64_t seed = 1;
    for (const Kind& k : kinds) {
        SampleSpecimen s;
        s.kind = k.kind;
        s.shape = k.shape;
        s.size1_mm = k.shape == 1 ? 20 : 10;
        s.size2_mm = k.shape == 1 ? 3.5 : 0;
        s.area_mm2 = k.shape == 3 ? 50 : 0;
        s.points = 24;  // a short curve keeps the seed small
        s.seed = seed++;
        const std::vector<unsigned char> b = encode_bmd(synthesize_test(s));
        put("test_file", std::string(k.name) + ".bmd", {b.begin(), b.end()});
    }
    for (const NamedFile& f : damaged_files())
        put("test_file", f.name, {f.bytes.begin(), f.bytes.end()});
}

// Curves for the graph loader and the results engine: each material's own
// shape (a yield plateau, a smooth bend, a brittle break), with and without
// the extensometer, long enough for the analysis to find its yield and its
// linear part; a test without points, one on an area of 0, a model index
// the loader refuses and a point count past the buffer.
void curves()
{
    struct Curve {
        const char* name;
        SampleKind kind;
        Material material;
        std::uint8_t shape;
        int points;
    };
    const Curve curves[] = {
        {"plateau-round", SampleKind::Tension, Material::St3, 0, 150},
        {"smooth-strip", SampleKind::Tension, Material::Steel45, 1, 150},
        {"rebar", SampleKind::Tension, Material::A500C, 2, 150},
        {"aluminium", SampleKind::Tension, Material::Aluminium, 0, 120},
        {"cast-iron", SampleKind::Tension, Material::CastIron, 0, 60},
        {"compression", SampleKind::Compression, Material::Copper, 0, 60},
        {"extensometer-plateau", SampleKind::Extensometer, Material::St3, 0, 200},
        {"extensometer-smooth", SampleKind::Extensometer, Material::Steel40X, 0, 200},
        {"no-curve", SampleKind::NoCurveTension, Material::St3, 3, 0},
    };
    std::uint64_t seed = 100;
    auto bytes_of = [](const BmdTest& t) {
        const std::vector<unsigned char> b = encode_bmd(t);
        return std::vector<std::uint8_t>(b.begin(), b.end());
    };
    auto specimen_of = [&](const Curve& c) {
        SampleSpecimen s;
        s.kind = c.kind;
        s.material = c.material;
        s.shape = c.shape;
        s.size1_mm = c.shape == 1 ? 20 : 10;
        s.size2_mm = c.shape == 1 ? 3.5 : 0;
        s.area_mm2 = c.shape == 3 ? 50 : 0;
        s.points = c.points;
        s.seed = seed++;
        return s;
    };
    for (const Curve& c : curves)
        put("curve", std::string(c.name) + ".bmd", bytes_of(synthesize_test(specimen_of(c))));

    const Curve plain{"", SampleKind::Tension, Material::St3, 3, 40};
    BmdTest t = synthesize_test(specimen_of(plain));
    t.area = 0;
    put("curve", "area-0.bmd", bytes_of(t));
    t = synthesize_test(specimen_of(plain));
    t.model_index = 5;
    put("curve", "model-5.bmd", bytes_of(t));
    std::vector<std::uint8_t> past = bytes_of(synthesize_test(specimen_of(plain)));
    const std::uint32_t count = 100'000;  // the tail's point count, 22 bytes before the end
    for (int i = 0; i < 4; ++i)
        past[past.size() - kStandardTailSize + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(count >> (8 * i));
    put("curve", "count-past-the-buffer.bmd", past);
}

// Dialogues: what the unit writes for each command, as its session answers,
// between the window's show and the timers that send the commands.
struct Dialogue {
    Writer w;
    UnitSession unit;
    explicit Dialogue(UnitOptions o, bool extensometer = true)
        : unit(synthetic_curve(extensometer), o)
    {}
    // The unit's answer to one command, each write a chunk of its own.
    void answer(char command)
    {
        for (const std::string& s : unit.on_byte(command).writes)
            w.chunk(s);
    }
    // Identification: 'Z' goes out at the show, the type comes back, the
    // retry a second later sends 'D'.
    void identify()
    {
        answer('Z');
        w.advance(1000);
    }
    // n polls, each answered, half a second apart.
    void polls(int n)
    {
        for (int i = 0; i < n; ++i) {
            answer('D');
            w.advance(500);
        }
    }
};

void link_dialogues()
{
    auto save = [](const std::string& name, const Writer& w) {
        put("link_protocol", name, w.bytes());
    };
    {
        UnitOptions o;
        o.points_per_response = 40;
        Dialogue d(o);
        d.identify();
        d.polls(10);  // the whole synthetic test: ends with 'V'
        d.w.advance(500);
        save("type-y-whole-test", d.w);
    }
    {
        UnitOptions o;
        o.type = UnitType::Z;
        o.points_per_response = 25;
        Dialogue d(o, false);
        d.identify();
        d.polls(4);
        save("type-z", d.w);
    }
    {
        UnitOptions o;
        o.split = true;
        Dialogue d(o);
        d.identify();
        d.polls(4);
        save("split-responses", d.w);
    }
    const Malformation broken[] = {Malformation::OddLength, Malformation::NoT,
                                   Malformation::TBeforeS, Malformation::BadPair,
                                   Malformation::CountPastBlock};
    const char* const names[] = {"odd-length", "no-t", "t-before-s", "bad-pair",
                                 "count-past-block"};
    for (int i = 0; i < 5; ++i) {
        UnitOptions o;
        o.malformed = broken[i];
        o.malformed_at = 2;
        Dialogue d(o);
        d.identify();
        d.polls(3);
        save(std::string("malformed-") + names[i], d.w);
    }
    {
        UnitOptions o;
        o.end_after = 2;
        Dialogue d(o);
        d.identify();
        d.polls(3);
        save("ended-with-e", d.w);
    }
    {
        // The unit falls silent: the watchdog lets go of the port, the show
        // starts again and the unit answers once more.
        UnitOptions o;
        o.silent_after = 2;
        Dialogue d(o);
        d.identify();
        d.polls(3);
        d.w.advance(3000);
        d.w.advance(3000);
        d.w.op(ls::kClose);
        d.w.op(ls::kShow);
        save("silent-then-reopened", d.w);
    }
    {
        // Half a response, then silence past the watchdog, then the rest.
        UnitOptions o;
        Dialogue d(o);
        d.identify();
        const std::string r = d.unit.on_byte('D').writes[0];
        d.w.chunk(r.substr(0, r.size() / 2));
        d.w.advance(3500);
        d.w.chunk(r.substr(r.size() / 2));
        d.w.advance(500);
        d.polls(1);
        save("response-stopped-halfway", d.w);
    }
    {
        // Bytes without markers for longer than the receive buffer, then a good dialogue.
        UnitOptions o;
        Dialogue d(o);
        d.identify();
        d.w.flood(70, '5');
        d.w.advance(3000);
        d.polls(2);
        save("flood", d.w);
    }
    {
        // The port will not open for a while.
        UnitOptions o;
        Dialogue d(o);
        d.w.op(ls::kPortFails);
        d.w.advance(3000);
        d.w.op(ls::kPortFails);
        d.identify();
        d.polls(2);
        d.w.op(ls::kExit);
        save("port-fails-then-opens", d.w);
    }
    {
        // Responses built by the target itself: extensometer points, a
        // negative load, extreme values, a completed test.
        Writer w;
        w.chunk("Y");
        w.advance(1000);
        w.response(0, {{12500, 2000, 155}, {-40, 2100, 0x00FFFFFF}}, 9000, 7000, 0);
        w.advance(500);
        w.response(0, {{2147483647, -2147483647 - 1, -2147483647 - 1}}, -1, 1, 5);
        w.advance(500);
        w.response(ls::kLast, {{30000, 9000, 0x00FFFFFF}}, 9000, 7000, 0);
        w.advance(500);
        w.advance(500);
        save("structured-responses", w);
    }
}

void numbers()
{
    auto text = [](const std::string& name, const std::string& t) {
        std::vector<std::uint8_t> b{0};
        b.insert(b.end(), t.begin(), t.end());
        put("number", "text-" + name, b);
    };
    text("comma", "12,5");
    text("point", "-0.001");
    text("exponent", "1,5E-7");
    text("large", "1E20");
    text("spaces", " +3\t");
    text("word", "abc");
    text("empty", "");
    text("integer", "123456789012345678");
    text("two-separators", "1,2,3");
    auto value = [](const std::string& name, std::uint8_t kind, const void* p, std::size_t n,
                    int decimals) {
        std::vector<std::uint8_t> b{kind};
        b.insert(b.end(), static_cast<const std::uint8_t*>(p),
                 static_cast<const std::uint8_t*>(p) + n);
        if (decimals >= 0)
            b.push_back(static_cast<std::uint8_t>(decimals));
        put("number", name, b);
    };
    const double doubles[] = {0.1,
                              12.345,
                              1.5e-7,
                              1e300,
                              DBL_MAX,
                              4.9e-324,
                              -0.0,
                              std::numeric_limits<double>::quiet_NaN(),
                              -std::numeric_limits<double>::infinity()};
    int i = 0;
    for (double d : doubles)
        value("double-" + std::to_string(i++), 1, &d, sizeof d, -1);
    const long long fixed[][2] = {
        {12345, 3}, {785, 1}, {4294967295LL, 3}, {-5, 2}, {999999999999999LL, 4}};
    i = 0;
    for (const auto& f : fixed)
        value("decimal-" + std::to_string(i++), 2, &f[0], sizeof f[0], static_cast<int>(f[1]));
    const std::int32_t scaled[][2] = {
        {-12500, 3}, {-2147483647 - 1, 4}, {155, 4}, {2000, 3}, {7, 0}};
    i = 0;
    for (const auto& s : scaled)
        value("scaled-" + std::to_string(i++), 3, &s[0], sizeof s[0], s[1]);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: lekta_fuzz_seeds DIR\n");
        return 2;
    }
    g_root = argv[1];
    test_files();
    link_dialogues();
    numbers();
    curves();
    return 0;
}
