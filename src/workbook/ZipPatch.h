#pragma once
// Edits one entry of a zip archive with libzip and copies the others as they are stored: the
// .xlsx writer sets with it what its library has no call for.
#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace orvane {

// Copies the archive `in` to `out` (both seekable, `out` empty) with `insert` added right
// after the first `marker` in the deflated entry named `entry`, which must hold the marker in
// its first 64 KiB. The other entries keep their compressed bytes, and so do the entry's own
// deflate blocks from some 32 KiB past the marker on: only its start is compressed again.
// Returns "" or what went wrong.
QString ZipInsertAfter(QIODevice& in, QIODevice& out, const char* entry, const QByteArray& marker,
                       const QByteArray& insert);

} // namespace orvane
