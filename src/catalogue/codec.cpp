#include "catalogue/codec.h"

#include "catalogue/catalogue.h"

namespace quorvane {

std::string FieldCodec::Range() const {
    if (codeWords) return "25 or 50";
    if (IsFlags()) return "eight characters 0 or 1, bit 7 first";
    std::string text = "0 to " + Int2Str(maximum);
    if (negativeFrom != 0 && maximum >= negativeFrom)
        text += ", or " + Int2Str(Shown(negativeFrom)) + " to " + Int2Str(Shown(maximum)) + " for " +
                Int2Str(negativeFrom) + " to " + Int2Str(maximum);
    return text;
}

const CellSpot& SpotOrByte(int i, int j, int step) {
    static constexpr CellSpot kOutside{FieldKind::Byte, Codec::Byte, GameFile::Wizards, 0, false, {}};
    const int cell = CellIndex(i, j, step);
    return cell < 0 ? kOutside : SpotOf(cell);
}

std::string AllowedRange(int i, int j, int step) {
    const CellSpot& spot = SpotOrByte(i, j, step);
    const FieldCodec& first = CodecOf(spot);
    // A further place that takes fewer numbers bounds the cell.
    if (spot.hasCopy && CodecOf(spot.copy.codec).maximum < first.maximum) return CodecOf(spot.copy.codec).Range();
    return first.Range();
}

}  // namespace quorvane
