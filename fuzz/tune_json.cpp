// The JSON tune reader of `vantrelle-cli pack`: any text either fills the
// whole tune or is refused with a reason and leaves the tune alone; a tune it
// took is written as JSON that reads back to the same tune.

#include "FuzzCheck.h"

#include "model/TuneJson.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray json = FuzzBytes(data, size);
    const Tune untouched;
    Tune tune;
    QString error;
    if (!TuneFromJson(json, tune, error)) {
        FUZZ_CHECK(!error.isEmpty());
        FUZZ_CHECK(tune.sameContents(untouched));
        return 0;
    }
    FUZZ_CHECK(error.isEmpty());
    Tune again;
    QString againError;
    FUZZ_CHECK(TuneFromJson(TuneToJson(tune), again, againError));
    FUZZ_CHECK(again.sameContents(tune));
    return 0;
}
