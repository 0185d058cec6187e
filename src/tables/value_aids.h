// Aids beside an edit dialog's value field, kept in step with its text both
// ways: the eight bits of a flag byte as check boxes labelled with what each
// bit means, and the values a field's help lists as a drop-down. The field
// stays the value: any text can still be typed into it, and the aids follow.
#pragma once

#include <string>
#include <vector>

#include "tables/help_texts.h"

class QComboBox;
class QLineEdit;
class QWidget;

namespace quorvane::gui {

// Eight check boxes for the flag byte in `field`, bit 0 first, labelled `meanings[bit]` where given, else "bit N", and named
// "<field's name>bit<N>". Ticking one sets the field's text; a field text of
// eight characters 0 or 1 ticks them, and any other text leaves them greyed
// out. Returns the widget holding them, laid out one under the other with
// long labels wrapped at `wrapWidth` pixels.
QWidget* NewFlagBoxes(QLineEdit* field, const std::vector<std::string>& meanings, int wrapWidth, QWidget* parent);

// A drop-down, named "<field's name>codes", of `codes` ("5 Arcane") for the
// number in `field` (cell (i, j, step)). Choosing one puts its number into
// the field as the table shows it (254 in a one-byte field as -2); a field
// whose number is none of them shows no choice.
QComboBox* NewCodeChooser(QLineEdit* field, int i, int j, int step, const std::vector<HelpCode>& codes,
                          QWidget* parent);

}  // namespace quorvane::gui
