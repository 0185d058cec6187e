// The constant-group forms as data: for each of the sections 23 .. 42 the
// window kind, its template caption and how its fields are laid out. The one
// generic form (constant_form.cpp) is built from these entries.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvane::gui {

inline constexpr int kFirstFormSection = 23;
inline constexpr int kLastFormSection = 42;

enum class FormShape {
    // One name field and one value field per row, pairs stacked top to
    // bottom, split into a second column of pairs from `secondColumnFrom` on.
    Pairs,
    // One row of many columns: the row's name across the top, then the value
    // columns in lines of `perLine`, each under a fixed label.
    ColumnsOfOneRow,
};

struct FormSpec {
    int section;
    const char* className;
    const char* templateCaption;
    FormShape shape;
    // Pairs: first row of the second column; the row count for one column.
    int secondColumnFrom;
    // Fixed explanatory lines shown above the fields.
    std::vector<const char*> lines;
    // ColumnsOfOneRow: one label per value column (columns 1, 2, ...).
    std::vector<const char*> columnLabels;
    int perLine = 5;
    // The stored value must read as 25 or 50 (destroyed-items mana).
    bool only25or50 = false;
};

// The entry of `section`, or nullptr outside 23 .. 42.
const FormSpec* FindFormSpec(int section);

// The refusal shown when the destroyed-items value is neither 25 nor 50.
inline constexpr const char* kOnly25Or50Refusal = "Value Must Be Either 25 or 50.";

// Reads a decimal integer from the start of `text` as `std::istream >> int`
// does (leading white space, optional sign, digits up to the first non-digit)
// and answers whether it is 25 or 50. No digits, or a number too large for an
// int, answers false.
bool IsDestroyedItemsValue(std::string_view text);

}  // namespace quorvane::gui
