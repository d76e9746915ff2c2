// Number text: reading any text never fails and gives a finite value, the
// one an independent reader of the grammar and strtod gives;
// formatting a value and reading the text back gives the value to the shown
// decimals, and formatting the read-back value gives the same text.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "numtext/numtext.h"
#include "fuzz_check.h"
#include "independent_number.h"
#include "invariants.h"

namespace {

double fromBits(std::uint64_t bits)
{
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

void checkFixedRoundTrip(double v, int decimals, const std::string& sep)
{
    const std::string text = numtext::formatFixed(v, decimals, sep);
    const std::string where = "formatFixed(" + numtext::formatGeneral(v, 17) + ", " + std::to_string(decimals) +
                              ", '" + sep + "') = \"" + text + "\"";
    FUZZ_CHECK(!robust::showsNonFinite(text), where);
    const auto back = numtext::parseNumber(text, sep);
    FUZZ_CHECK(back.has_value(), where);
    FUZZ_CHECK(std::isfinite(*back), where);
    FUZZ_CHECK(text.find('e') == std::string::npos && text.find('E') == std::string::npos, where);
    if (!std::isfinite(v)) {
        FUZZ_CHECK(*back == 0.0, where); // shown as zero
        return;
    }
    // Within half a unit of the last decimal, or of the 15th significant digit.
    const double tolerance = 0.5 * std::pow(10.0, -decimals) * (1 + 1e-9) + std::fabs(v) * 1e-13;
    FUZZ_CHECK(std::fabs(*back - v) <= tolerance, where + " reads back " + numtext::formatGeneral(*back, 17));
    FUZZ_CHECK(numtext::formatFixed(*back, decimals, sep) == text, where + " is not stable");
    if (text[0] == '-') FUZZ_CHECK(text.find_first_of("123456789") != std::string::npos, where + ": negative zero");
}

void checkGeneralRoundTrip(double v, const std::string& sep)
{
    const std::string text = numtext::formatGeneral(v, 15, sep);
    const std::string where = "formatGeneral(" + numtext::formatGeneral(v, 17) + ") = \"" + text + "\"";
    FUZZ_CHECK(!robust::showsNonFinite(text), where);
    const auto back = numtext::parseNumber(text, sep);
    FUZZ_CHECK(back.has_value(), where);
    if (!std::isfinite(v)) return;
    FUZZ_CHECK(std::fabs(*back - v) <= std::fabs(v) * 1e-13 + 1e-300, where);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    const std::string sep = in.ConsumeBool() ? "," : ".";
    const int decimals = in.ConsumeIntegralInRange(0, 12);
    const double anyDouble = fromBits(in.ConsumeIntegral<std::uint64_t>());
    const double ordinary = in.ConsumeFloatingPointInRange(-1e9, 1e9);
    const std::string text = in.ConsumeRemainingBytesAsString();

    // Reading never fails.
    const double read = numtext::readInputText(text, sep, 0.0);
    FUZZ_CHECK(std::isfinite(read), "readInputText of \"" + text + "\"");
    const auto parsed = numtext::parseNumber(text, sep);
    const auto expected = independentParse(text, sep[0]);
    FUZZ_CHECK(parsed.has_value() == expected.has_value(),
               "parseNumber " + std::string(parsed ? "reads" : "refuses") + " \"" + text + "\"");
    if (parsed) {
        // Equal, or both at most the smallest subnormal apart (strtod may keep one).
        FUZZ_CHECK(*parsed == *expected || std::fabs(*parsed - *expected) <= 5e-324,
                   "parseNumber reads \"" + text + "\" as " + numtext::formatGeneral(*parsed, 17));
        FUZZ_CHECK(std::isfinite(*parsed), "parseNumber of \"" + text + "\"");
        FUZZ_CHECK(read == *parsed, "readInputText and parseNumber differ on \"" + text + "\"");
        checkFixedRoundTrip(*parsed, decimals, sep);
    }

    for (double v : {anyDouble, ordinary}) {
        checkFixedRoundTrip(v, decimals, sep);
        checkGeneralRoundTrip(v, sep);
        (void)numtext::roundHalfEvenToInt(v);
    }
    return 0;
}
