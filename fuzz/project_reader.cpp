// The project reader: any bytes make a tune, and that tune is written back as
// the bytes it was read from (the format byte aside; a short file's missing
// bytes read as 0, bytes after the layout are not part of the tune).

#include "FuzzCheck.h"

#include "model/ProjectFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);
    Tune tune;
    DecodeProject(bytes, tune);

    const QByteArray written = EncodeProject(tune);
    FUZZ_CHECK(written.size() == ProjectFormat::Size);
    FUZZ_CHECK(written[0] == ProjectFormat::FormatByte);
    QByteArray expected = bytes.left(ProjectFormat::Size);
    expected.append(QByteArray(ProjectFormat::Size - expected.size(), '\0'));
    FUZZ_CHECK(written.mid(1) == expected.mid(1));

    // Reading it again gives the same tune.
    Tune again;
    DecodeProject(written, again);
    FUZZ_CHECK(again.sameContents(tune));
    return 0;
}
