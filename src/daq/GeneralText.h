#pragma once

#include <QString>
#include <string_view>

// Numbers as the program shows, logs and passes them between evaluation
// steps: single precision written as general decimal text with 7 significant
// digits, trailing zeros dropped (1/3 -> "0.3333333", 0.5 -> "0.5"), very
// large or small magnitudes in exponent form ("1e+07", "1e-05"). The text is
// the same whatever the user's regional settings: a point, no grouping.
namespace vnt {

// Longest text FormatGeneral writes ("-1.234568e-38").
inline constexpr int GeneralTextCapacity = 24;

// Writes the text of v into buffer (GeneralTextCapacity chars, not
// NUL-terminated); returns its length.
int FormatGeneral(float v, char *buffer);
QString GeneralText(float v);

enum class NumberParse { Ok, Invalid, Overflow };

// Reads a whole text as a single-precision number: digits with at most one
// point (".5" and "5." included), or the exponent and sign forms that
// FormatGeneral writes. A number beyond the single-precision range is
// Overflow; one too small for it becomes 0.
NumberParse ParseSingle(std::string_view text, float &value);

// v rounded to `places` decimal places (0..9), halves to the even neighbour,
// decided on v's 7-significant-digit text so that a value that reads 0.00015
// becomes 0.0002 however its binary form falls. Non-finite values come back
// unchanged.
float RoundToDecimals(float v, int places);

} // namespace vnt
