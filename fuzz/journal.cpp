// The edit journal's reader: any bytes read without a crash or an outsized
// allocation; what reads is a whole tune encoding; and the reader is stable:
// the records it took, written again from the state it gives, read back to
// that same state.

#include "FuzzCheck.h"

#include "history/JournalFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    constexpr int ProjectSize = 1837;
    const QByteArray bytes = FuzzBytes(data, size);
    const JournalFormat::Replay replay = JournalFormat::Read(bytes, ProjectSize);
    FUZZ_CHECK(replay.goodBytes >= 0 && replay.goodBytes <= bytes.size());
    if (!replay.ok)
        return 0;
    FUZZ_CHECK(replay.state.project.size() == ProjectSize);
    FUZZ_CHECK(replay.records > 0);
    // The good part alone reads the same, and nothing after it.
    const JournalFormat::Replay good = JournalFormat::Read(bytes.left(replay.goodBytes), ProjectSize);
    FUZZ_CHECK(good.ok && good.state.sameAs(replay.state) && !good.cutShort);
    const QByteArray again = JournalFormat::Header() + JournalFormat::Record(nullptr, replay.state);
    FUZZ_CHECK(JournalFormat::Read(again, ProjectSize).state.sameAs(replay.state));
    return 0;
}
