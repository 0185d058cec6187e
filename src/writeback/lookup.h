#pragma once

#include <string>
#include <string_view>

#include "session/session.h"
#include "catalogue/codec.h"
#include "rules/format.h"

namespace quorvane {

struct LookupResult {
    std::string value = std::string(1, '0');  // the value text; "0" when none was found
    bool valueProblem = false;  // a problem with the value itself was reported
    bool overflow = false;   // the number ran past the 32-bit range
    long long number = 0;    // the value's leading number (Byte and Word cells)
    int recordLine = 0;      // line number of the record line holding the value
    bool named = false;      // step 0: the record line has a quoted name,
    std::string_view name;   // which is this (a view into the line)
    bool endChecked = false;  // the line after the section's last record line was read and checked
    bool endMissing = false;  // " [END] expected." was reported: the section's rows do not line up
    int endLine = 0;          // the line number that report named
};

// Takes the value of cell (i, j, step) from the rules file, which must be read
// in catalogue order, every cell, column 0 included (column 0 only moves on to
// the row's record line). Negative Byte and Word entries come back in their
// stored form (256 - n, 65536 - n). Problems are reported to the session.
LookupResult FindRulesNumber(Session& s, int i, int j, int step, LineSource& rules);
// The same into result, every field of which is set afresh, for a caller that
// looks up many cells in a row; codec is the one of the cell's first place.
void FindRulesNumber(Session& s, int i, int j, int step, const FieldCodec& codec, LineSource& rules,
                     LookupResult& result);

}  // namespace quorvane
