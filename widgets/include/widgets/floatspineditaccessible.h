#pragma once
// What a screen reader sees of a TFloatSpinEdit: a spin button whose text is
// one number and whose value is that number. The text units are answered
// here, not by the line edit's own interface: the whole number is one word,
// sentence, paragraph and line, so no request has to search for a boundary.
#include <QAccessible>

namespace spinaccess {

enum class Where { Before, At, After };

// The half-open range [start, end) of the text unit of `boundary` before, at
// or after `offset` in a text of `length` characters. The offset is clamped
// to 0..length; a unit that does not exist is the empty range at the nearer
// end of the text.
struct Range {
    int start = 0;
    int end = 0;
    bool operator==(const Range&) const = default;
};
Range textUnit(int length, int offset, QAccessible::TextBoundaryType boundary, Where where);

} // namespace spinaccess

// Installs the accessibility factory for TFloatSpinEdit (once).
void installFloatSpinEditAccessibility();
