#pragma once
// Edits one deflated entry of a zip archive and copies the others unchanged: the .xlsx writer
// sets with it what its library has no call for.
#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace orvane {

// Copies the archive `in` to `out` (both seekable) with `insert` added right after the first
// `marker` in the entry named `entry`, which must be deflated and hold the marker in its
// first 64 KB. Returns "" or what went wrong. ZIP64 archives are not handled.
QString ZipInsertAfter(QIODevice& in, QIODevice& out, const QByteArray& entry,
                       const QByteArray& marker, const QByteArray& insert);

} // namespace orvane
