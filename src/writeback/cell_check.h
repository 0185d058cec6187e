// What the write would do with a text in one cell, told before it is saved:
// the same scan and the same checks as write-back, on the field as "Save to
// Text File" would write it.
#pragma once

#include <string>
#include <string_view>

#include "catalogue/codec.h"  // AllowedRange

namespace quorvane {

struct CellCheck {
    enum class Verdict { Written, Warning, Refused };
    Verdict verdict = Verdict::Written;
    // For Refused, the message write-back reports (" Value out of range.",
    // " Binary string expected.", ...); for Warning, what is written instead.
    std::string message;
    long long stored = 0;  // the number written (Byte and Word cells that are not refused)
    std::string range;     // the values the cell takes, in words
};

CellCheck CheckCell(int i, int j, int step, std::string_view text);

}  // namespace quorvane
