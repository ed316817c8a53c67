#pragma once
// Realistic sample tests: specimens, load–deformation curves and the results
// the instrument would compute from them, from a seeded generator so that a
// seed always gives the same files.
#include "lib/bmd_writer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lekta::tools {

// Small deterministic generator (splitmix64): the same numbers on every
// platform and standard library.
class SampleRng {
public:
    explicit SampleRng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    double uniform();                      // [0, 1)
    double uniform(double lo, double hi);  // [lo, hi)
    int integer(int lo, int hi);           // lo..hi inclusive
    double normal();                       // mean 0, deviation 1
    template <class T>
    const T& pick(const std::vector<T>& items)
    {
        return items[static_cast<std::size_t>(integer(0, static_cast<int>(items.size()) - 1))];
    }

private:
    std::uint64_t state_;
};

enum class Material {
    St3,
    Steel09G2S,
    Steel45,
    Steel40X,
    A240,
    A500C,
    Aluminium,
    Copper,
    CastIron
};

// Engineering stress–strain description of a material.
struct MaterialProps {
    double e_mpa;           // Young's modulus
    double yield_mpa;       // lower yield (plateau) or 0.2 % proof stress
    double upper_ratio;     // upper yield / lower yield (plateau materials)
    double tensile_mpa;     // maximum engineering stress
    double uniform_strain;  // strain at the maximum
    double break_strain;    // strain at fracture
    double break_ratio;     // stress at fracture / maximum
    bool plateau;           // yield plateau (Lüders band) or smooth transition
    double luders_strain;   // plateau length
};
MaterialProps material_props(Material m);

enum class SampleKind {
    Tension,              // mode 0 with curve, any shape
    Compression,          // mode 1 with curve
    Extensometer,         // mode 2 with curve and He readings
    NoCurveTension,       // mode 0, shape 3, no curve, rate in кН/с
    NoCurveCompression,   // mode 1, shape 3, no curve, rate in мм/мин
    ExtensometerNoCurve,  // mode 2, shape 3, no curve
    NoCurveOtherShape,    // mode 0, no curve on a shape other than 3
};

struct SampleSpecimen {
    SampleKind kind = SampleKind::Tension;
    std::uint8_t shape = 0;
    Material material = Material::St3;
    double size1_mm = 10;  // diameter (round bar, rebar) or width (strip)
    double size2_mm = 0;   // thickness (strip)
    double area_mm2 = 0;   // other specimens only; computed from the sizes otherwise
    int points = 400;
    double gauge_mm = 50;  // extensometer gauge length
    double rate = 10;      // in its displayed unit (МПа/с, мм/мин or кН/с)
    std::uint8_t series = 1, test_no = 1;
    std::uint8_t day = 1, month = 1, year = 12, hour = 9, minute = 0, second = 0;
    std::uint64_t seed = 1;      // noise and scatter of this one test
    bool vary_material = false;  // scatter the material's properties around the nominal ones
    double strength_factor =
        1.0;  // yield and tensile strength scaled (a specimen out of line with its series)
};

// The cross-section in mm² for the sample's shape and sizes.
double section_area_mm2(const SampleSpecimen& sample);

// Builds the test: header fields, curve and results consistent with both.
BmdTest synthesize_test(const SampleSpecimen& sample);

struct NamedTest {
    std::string name;
    BmdTest test;
};
struct NamedFile {
    std::string name;
    std::vector<unsigned char> bytes;
};

// Name of the demo set's largest test (63,996 points, standard layout).
extern const char* const kLargestDemoName;

// The demo folder: every kind of test, with realistic names; always the same bytes.
std::vector<NamedTest> demo_tests();

// The demo series: six extensometer tests of one steel (series 22), sizes
// and properties scattered as a batch's are, the fifth one weaker by a
// tenth (the odd specimen a series chart is for); always the same bytes.
std::vector<NamedTest> demo_series_tests();

// An endless stream of realistic laboratory files with unique names.
class SampleFolder {
public:
    explicit SampleFolder(std::uint64_t seed);
    NamedTest next();

private:
    SampleSpecimen random_spec();
    SampleRng rng_;
    int series_ = 0;
    int tests_left_ = 0;
    int test_no_ = 0;
    long day_number_ = 0;
    int minute_of_day_ = 0;
};

// Files that are not valid tests, for the catalogue's error handling:
// a shape byte of 7, a mode byte of 5, a 5-byte file, a file shorter than its tail.
std::vector<NamedFile> damaged_files();

}  // namespace lekta::tools
