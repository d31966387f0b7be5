// libFuzzer target of the readers' one door: the first byte picks the type the file's name
// would say, the rest is the file. Every input must end in cells or an ImportFileError, never
// in a crash, a leak or a sanitizer report. Built by scripts/fuzz with clang.
#include "import/SpreadsheetFile.h"

#include <QCoreApplication>
#include <cstdint>

using namespace orvane::importer;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    static const FileKind kinds[] = {FileKind::Xlsx, FileKind::Ods, FileKind::Csv, FileKind::Xls};
    const FileKind kind = kinds[data[0] % 4];
    ReadControl control;
    // Small limits keep each run short; the limits themselves are what is checked.
    control.limits.maxUnpackedBytes = 8 * 1024 * 1024;
    control.limits.maxRows = 20000;
    try {
        ReadSpreadsheetBytes(QByteArray(reinterpret_cast<const char*>(data + 1), int(size - 1)),
                             kind, control);
    } catch (const ImportFileError&) {
    } catch (const ImportCancelled&) {
    }
    return 0;
}
