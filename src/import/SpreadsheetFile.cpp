#include "import/SpreadsheetFile.h"

#include "import/CsvRead.h"
#include "import/ImportColumns.h"
#include "import/OrcusRead.h"
#include "import/XlsRead.h"
#include "import/ZipCheck.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <fcntl.h>
#include <unistd.h>

namespace orvane::importer {

namespace {

const QByteArray kCompoundMagic("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);

QString kindText(FileKind kind) {
    switch (kind) {
    case FileKind::Xlsx:
        return QStringLiteral("an Excel workbook (.xlsx)");
    case FileKind::Ods:
        return QStringLiteral("an OpenDocument spreadsheet (.ods)");
    case FileKind::Csv:
        return QStringLiteral("a CSV text file (.csv)");
    case FileKind::Xls:
        return QStringLiteral("an Excel 97-2003 workbook (.xls)");
    }
    return QString();
}

[[noreturn]] void mismatch(FileKind named, const QString& holds) {
    throw ImportFileError(
        QStringLiteral("The file's name says %1, but it holds %2. Nothing was imported: save it "
                       "under the right name, or again from its program, and import it again.")
            .arg(kindText(named), holds));
}

bool isZip(const QByteArray& bytes) {
    return bytes.startsWith("PK\x03\x04") || bytes.startsWith("PK\x05\x06");
}

// Another program that holds a write lock on the file is in the middle of writing it.
bool lockedForWriting(const QFile& file) {
    struct flock probe = {};
    probe.l_type = F_RDLCK;
    probe.l_whence = SEEK_SET;
    return fcntl(file.handle(), F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
}

} // namespace

std::optional<FileKind> KindOfName(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("xlsx"))
        return FileKind::Xlsx;
    if (suffix == QLatin1String("ods"))
        return FileKind::Ods;
    if (suffix == QLatin1String("csv"))
        return FileKind::Csv;
    if (suffix == QLatin1String("xls"))
        return FileKind::Xls;
    return std::nullopt;
}

SheetCells ReadSpreadsheetBytes(const QByteArray& bytes, FileKind named,
                                const ReadControl& control) {
    if (bytes.isEmpty())
        throw ImportFileError(QStringLiteral("The file is empty. Nothing was imported."));
    if (bytes.size() > control.limits.maxUnpackedBytes)
        throw ImportFileError(QStringLiteral("The file is larger than %1 MB. Nothing was imported.")
                                  .arg(control.limits.maxUnpackedBytes / (1024 * 1024)));
    if (isZip(bytes)) {
        if (named == FileKind::Csv || named == FileKind::Xls)
            mismatch(named, QStringLiteral("a zip archive (an .xlsx or .ods workbook)"));
        const ZipFacts facts = CheckZip(bytes, control);
        if (facts.kind != named)
            mismatch(named, kindText(facts.kind));
        SheetCells cells =
            ReadOrcusSheet(facts.relativeParts.isEmpty() ? bytes : facts.relativeParts, facts.kind,
                           facts.visibleSheet, control);
        if (facts.kind == FileKind::Ods)
            cells.hiddenColumns = facts.hiddenColumns;
        return cells;
    }
    if (bytes.startsWith(kCompoundMagic)) {
        if (named != FileKind::Xls)
            mismatch(named, kindText(FileKind::Xls));
        // freexl reads files only.
        QTemporaryFile copy;
        if (!copy.open() || copy.write(bytes) != bytes.size() || !copy.flush())
            throw ImportFileError(
                QStringLiteral("The workbook cannot be copied for reading. Nothing was imported."));
        return ReadXlsFile(copy.fileName(), control);
    }
    if (named != FileKind::Csv)
        mismatch(named, QStringLiteral("something else"));
    return ReadCsv(bytes, IsHeadingsRow, control);
}

SheetCells ReadSpreadsheetFile(const QString& path, const ReadControl& control) {
    const std::optional<FileKind> named = KindOfName(path);
    if (!named)
        throw ImportFileError(QStringLiteral("Only .xlsx, .ods, .csv and .xls files can be "
                                             "imported. Nothing was imported."));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ImportFileError(QStringLiteral("The file cannot be opened (%1). If another program "
                                             "has it open, close it there and try again.")
                                  .arg(file.errorString()));
    if (lockedForWriting(file))
        throw ImportFileError(QStringLiteral("The file is locked by another program, which may be "
                                             "writing it. Close it there and try again."));
    if (file.size() > control.limits.maxUnpackedBytes)
        throw ImportFileError(QStringLiteral("The file is larger than %1 MB. Nothing was imported.")
                                  .arg(control.limits.maxUnpackedBytes / (1024 * 1024)));
    const QByteArray bytes = file.readAll();
    if (bytes.size() != file.size())
        throw ImportFileError(
            QStringLiteral("The file cannot be read (%1).").arg(file.errorString()));
    return ReadSpreadsheetBytes(bytes, *named, control);
}

} // namespace orvane::importer
