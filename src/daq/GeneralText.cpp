#include "daq/GeneralText.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace vnt {

int FormatGeneral(float v, char *buffer)
{
    if (v == 0.0f)
        v = 0.0f; // no "-0"
    const auto result = std::to_chars(buffer, buffer + GeneralTextCapacity, v, std::chars_format::general, 7);
    return static_cast<int>(result.ptr - buffer);
}

QString GeneralText(float v)
{
    char buffer[GeneralTextCapacity];
    const int n = FormatGeneral(v, buffer);
    return QString::fromLatin1(buffer, n);
}

namespace {

bool isNumberChar(char c)
{
    return (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-';
}

// For a text the double parser found out of range: whether its magnitude is
// large (true) or tiny (false), from the place of its first significant digit.
bool isLargeMagnitude(std::string_view text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    long long intDigits = 0;
    long long firstNonZero = -1;
    long long digitIndex = 0;
    bool afterPoint = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.') {
            afterPoint = true;
            continue;
        }
        if (c < '0' || c > '9')
            break;
        if (!afterPoint)
            ++intDigits;
        if (c != '0' && firstNonZero < 0)
            firstNonZero = digitIndex;
        ++digitIndex;
    }
    long long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negative = false;
        if (i < text.size() && (text[i] == '-' || text[i] == '+'))
            negative = text[i++] == '-';
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
            if (exponent < 1000000)
                exponent = exponent * 10 + (text[i] - '0');
        if (negative)
            exponent = -exponent;
    }
    if (firstNonZero < 0)
        return false;
    return intDigits - firstNonZero - 1 + exponent > 0;
}

// The single nearest to mantissa x 10^exponent.
float scaled(long long mantissa, int exponent)
{
    char out[64];
    char *const last = out + sizeof out;
    auto r = std::to_chars(out, last - 1, mantissa);
    if (r.ec != std::errc())
        return 0.0f;
    *r.ptr = 'e';
    r = std::to_chars(r.ptr + 1, last, exponent);
    if (r.ec != std::errc())
        return 0.0f;
    float result = 0.0f;
    std::from_chars(out, r.ptr, result);
    return result;
}

} // namespace

NumberParse ParseSingle(std::string_view text, float &value)
{
    if (text.empty())
        return NumberParse::Invalid;
    // from_chars also reads "inf", "nan" and the like, which no formula may
    // contain: only the characters of decimal numbers pass.
    for (const char c : text)
        if (!isNumberChar(c))
            return NumberParse::Invalid;
    const char *begin = text.data();
    const char *end = begin + text.size();
    float f = 0.0f;
    const auto r = std::from_chars(begin, end, f, std::chars_format::general);
    if (r.ptr != end)
        return NumberParse::Invalid;
    if (r.ec == std::errc()) {
        value = f;
        return NumberParse::Ok;
    }
    if (r.ec != std::errc::result_out_of_range)
        return NumberParse::Invalid;

    // Beyond single precision one way or the other (or a subnormal, which
    // some parsers report as out of range): decide with a wider parse.
    double d = 0.0;
    const auto rd = std::from_chars(begin, end, d, std::chars_format::general);
    if (rd.ec == std::errc()) {
        if (std::fabs(d) > std::numeric_limits<float>::max())
            return NumberParse::Overflow;
        value = static_cast<float>(d);
        return NumberParse::Ok;
    }
    if (isLargeMagnitude(text))
        return NumberParse::Overflow;
    value = 0.0f;
    return NumberParse::Ok;
}

float RoundToDecimals(float v, int places)
{
    if (!std::isfinite(v) || v == 0.0f)
        return v == 0.0f ? 0.0f : v;
    if (places < 0)
        places = 0;
    if (places > 9)
        places = 9;
    const bool negative = v < 0.0f;
    // Seven significant digits: "d.dddddde+XX".
    char buffer[32];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(v), std::chars_format::scientific, 6);
    const std::string_view text(buffer, static_cast<std::size_t>(r.ptr - buffer));
    char digits[7];
    digits[0] = text[0];
    for (int i = 1; i < 7; ++i)
        digits[i] = text[static_cast<std::size_t>(i) + 1];
    int exponent = 0;
    {
        std::size_t e = text.find('e');
        const char *p = text.data() + e + 1;
        if (*p == '+')
            ++p;
        std::from_chars(p, text.data() + text.size(), exponent);
    }

    // Digit i stands for 10^(exponent - i); the kept digits reach 10^-places.
    const int keep = exponent + places + 1;
    long long kept = 0;
    if (keep >= 7) {
        for (int i = 0; i < 7; ++i)
            kept = kept * 10 + (digits[i] - '0');
        // Exactly the seven-digit value: kept x 10^(exponent - 6).
        const float result = scaled(kept, exponent - 6);
        return negative ? -result : result;
    }
    if (keep < 0)
        return 0.0f;
    for (int i = 0; i < keep; ++i)
        kept = kept * 10 + (digits[i] - '0');
    // The dropped digits against one half of the last kept place.
    const int first = digits[keep] - '0';
    bool restNonZero = false;
    for (int i = keep + 1; i < 7; ++i)
        restNonZero = restNonZero || digits[i] != '0';
    const bool up = first > 5 || (first == 5 && (restNonZero || (kept % 2) != 0));
    if (up)
        ++kept;
    if (kept == 0)
        return 0.0f;
    const float result = scaled(kept, -places);
    return negative ? -result : result;
}

} // namespace vnt
