#include "app/catalogue_texts.h"

#include "common/number_text.h"
#include "testfile/buffer.h"
#include "testfile/errors.h"
#include "testfile/fields.h"
#include "testfile/reader.h"

namespace lekta {

namespace {

std::string tenths(std::uint16_t v)
{
    return decimal_text(v, 1);
}

std::string thousandths(std::uint32_t v)
{
    return decimal_text(v, 3);
}

}  // namespace

CatalogueRow catalogue_row(const std::string& entry_name)
{
    CatalogueRow row;
    auto& c = row.cells;
    const unsigned mode = read_byte(kMode);
    const unsigned shape = read_byte(kShape);
    const unsigned no_curve = read_byte(kNoCurve);
    const bool ext = mode == kExtensometerMode;

    c[0] = entry_name;
    c[1] = std::to_string(read_byte(kSeries));
    c[2] = std::to_string(read_byte(kTestNo));
    c[3] = date_text();
    c[4] = time_text();
    c[6] = shape_text(shape);  // looked up before the mode, as the instrument's own software did
    c[5] = mode_text(mode);

    if (no_curve == 0) {
        if (shape == 0 || shape == 2)
            c[7] = "d " + tenths(read_word(kSize1));
        else if (shape == 1)
            c[7] = tenths(read_word(kSize1)) + "x" + tenths(read_word(kSize2));
        c[9] = tenths(read_word(kRate)) + " МПа/с";
        c[8] = tenths(read_word(kArea));
    } else if (shape == 3 && no_curve == 1) {
        c[7] = "-";
        if (!ext && mode == 1)
            c[9] = tenths(read_word(kRate)) + " мм/мин";
        else if (!ext && mode == 0)
            c[9] = tenths(read_word(kRate)) + " кН/с";
    }

    if (!ext) {
        if (no_curve == 0 && mode == 0) {
            c[10] = thousandths(tail_u32(Tail::YieldStress));
            c[11] = thousandths(tail_u32(Tail::YieldLoad));
            c[12] = thousandths(tail_u32(Tail::TensileStrength));
        }
        c[13] = thousandths(tail_u32(Tail::BreakingLoad));
    } else {
        row.extensometer = true;
        if (no_curve == 0) {
            c[10] = thousandths(tail_u32(Tail::YieldStress));
            c[11] = thousandths(tail_u32(Tail::YieldLoad));
            c[12] = thousandths(tail_u32(Tail::TensileStrength));
        }
        c[13] = thousandths(tail_u32(Tail::BreakingLoad));
        c[14] = decimal_text(read_word(kGaugeBase), 2);
        c[15] = thousandths(tail_u32(Tail::ProofLoad));
        c[16] = thousandths(tail_u32(Tail::ProofStress));
    }
    return row;
}

}  // namespace lekta
