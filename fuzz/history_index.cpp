// The history's index and corrections lists: any bytes read without a crash;
// every record read is sound (positive ids, a known kind, a 64-digit hash, a
// fuel map's cell), and writing the records again reads back to the same.

#include "FuzzCheck.h"

#include "history/HistoryIndex.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);
    const auto index = HistoryIndex::ParseIndex(bytes);
    QByteArray written = HistoryIndex::IndexHeader();
    for (const HistoryEntry &e : index.records) {
        FUZZ_CHECK(e.id > 0 && e.hash.size() == 64 && e.at.isValid());
        written += HistoryIndex::Line(e);
    }
    const auto again = HistoryIndex::ParseIndex(written);
    FUZZ_CHECK(again.records.size() == index.records.size() && again.skipped == 0);
    for (std::size_t i = 0; i < again.records.size(); ++i)
        FUZZ_CHECK(again.records[i].note == index.records[i].note && again.records[i].where == index.records[i].where);

    const auto corrections = HistoryIndex::ParseCorrections(bytes);
    for (const CorrectionRecord &r : corrections.records)
        FUZZ_CHECK(r.entry >= 0 && r.entry < 256 && IsFuelMap(r.map) && r.rows >= 0);
    return 0;
}
