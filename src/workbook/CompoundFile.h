#pragma once
// The OLE2 compound document container (version 3, 512-byte sectors) that Excel 97-2003
// workbooks live in. Only what a writer needs: one stream under the root storage.
#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace orvane {

class CompoundFile {
  public:
    static constexpr int SectorSize = 512;
    static constexpr int MiniSectorSize = 64;
    static constexpr int MiniStreamCutoff = 4096; // smaller streams go to the mini stream

    // Writes a container whose root storage holds `data` as the stream `streamName` (at most
    // 31 characters). Streams under 4096 bytes are stored in the mini stream, as the format
    // requires; containers over 6.8 MB get DIFAT sectors. Returns false when `out` fails.
    static bool write(QIODevice& out, const QString& streamName, const QByteArray& data);
};

} // namespace orvane
