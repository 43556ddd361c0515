// The scaling-formula evaluator: any text, at a handful of voltages, ends in
// a finite value rounded to 4 places or in an error with a message and the
// value 0, the same at every call (one evaluator serves every input, so
// nothing of one call may reach the next).

#include "FuzzCheck.h"

#include "daq/CVScalingCalculator.h"
#include "daq/GeneralText.h"

#include <cmath>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static CVScalingCalculator calculator;
    const QString formula = QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (const float v : {0.0f, 1.5f, -2.25f, 3.0e38f, 1.0e-30f}) {
        const FormulaResult first = calculator.ComputeFormula(formula, v);
        if (first.ok()) {
            FUZZ_CHECK(std::isfinite(first.value));
            FUZZ_CHECK(vnt::RoundToDecimals(first.value, 4) == first.value);
        } else {
            FUZZ_CHECK(first.value == 0.0f);
            FUZZ_CHECK(!first.error.message.isEmpty());
        }
        const FormulaResult second = calculator.ComputeFormula(formula, v);
        FUZZ_CHECK(std::memcmp(&first.value, &second.value, sizeof first.value) == 0);
        FUZZ_CHECK(first.error.number == second.error.number && first.error.message == second.error.message);
    }
    return 0;
}
