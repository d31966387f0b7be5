#include "report/ReportRun.h"

#include "app/ScriptStart.h"
#include "app/Startup.h"
#include "app/mdlTarovel.h"
#include "lists/ReportSheet.h"
#include "platform/Settings.h"
#include "report/ReportOptions.h"
#include "report/ReportText.h"
#include "sheet/SheetComponent.h"
#include "workbook/SheetFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <stdexcept>

namespace orvane::report {

namespace {

enum class Format { Table, Xls, Xlsx, Csv };

std::optional<Format> formatOf(const QString& output) {
    if (output.isEmpty())
        return Format::Table;
    const QString suffix = QFileInfo(output).suffix().toLower();
    if (suffix == QLatin1String("xls"))
        return Format::Xls;
    if (suffix == QLatin1String("xlsx"))
        return Format::Xlsx;
    if (suffix == QLatin1String("csv"))
        return Format::Csv;
    return std::nullopt;
}

// Checked before the database is asked, so a wrong path costs nothing and changes nothing.
bool writablePlace(const QString& output) {
    const QFileInfo file(output);
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir() || !folder.isWritable())
        return false;
    return !file.exists() || (file.isFile() && file.isWritable());
}

void writeCsv(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw std::runtime_error(file.errorString().toStdString());
}

void writeWorkbook(const QString& path, Format format, const QString& unitName,
                   const std::vector<ActivationGroup>& groups) {
    SheetComponent sheet;
    ExpiryTexts dates;
    ReportSheet::WriteFrame(sheet, unitName);
    ReportSheet::WriteRows(sheet, groups, dates);
    if (format == Format::Xls && sheet.maxRow() > XlsWriter::MaxRows)
        throw std::runtime_error("the report has more rows than an .xls workbook holds; "
                                 "write it as .xlsx");
    WriteSheetFile(sheet, path,
                   format == Format::Xlsx ? SheetComponent::XlsxFileType
                                          : SheetComponent::XlsFileType);
}

} // namespace

int RunReport(const QStringList& args, QTextStream& out, QTextStream& err) {
    QString error;
    const std::optional<ReportOptions> options = ParseReportOptions(args, error);
    if (!options) {
        err << "orvane-report: " << error << "\n" << ReportUsage();
        return BadArguments;
    }
    if (options->help) {
        out << ReportUsage();
        return Rows;
    }
    if (options->version) {
        out << "orvane-report " << kReleaseVersion << "\n";
        return Rows;
    }
    const std::optional<Format> format = formatOf(options->output);
    if (!format) {
        err << "orvane-report: " << options->output
            << ": the output must end in .xls, .xlsx or .csv\n";
        return BadArguments;
    }
    if (*format != Format::Table && !writablePlace(options->output)) {
        err << "orvane-report: " << options->output << ": cannot be written\n";
        return BadArguments;
    }

    std::vector<ActivationGroup> groups;
    QString unitName;
    try {
        const QString refusal = OpenScriptConnection(options->server);
        if (!refusal.isEmpty()) {
            err << refusal << "\n";
            return DatabaseFailure;
        }
        Connection& connection = Session().SharedConnection();
        const QString unitCode = TrimBlanks(options->unitCode);
        if (!unitCode.isEmpty()) {
            const std::optional<QString> name = FindUnitName(connection, unitCode);
            if (!name) {
                err << "orvane-report: unknown unit code '" << unitCode << "'\n";
                return BadArguments;
            }
            unitName = *name;
        } else {
            MakeWorkstationUnitCurrent(connection);
            unitName = Session().CurrentUnitName;
        }
        ReportFilter filter;
        filter.searchText = options->searchText;
        filter.unitCode = options->unitCode;
        filter.expiry = options->expiredOnly ? ExpiryFilter::Expired : ExpiryFilter::OnOrBefore;
        filter.onOrBefore = options->before;
        filter.today = QDate::currentDate();
        groups = ActivationRows(connection).Report(filter);
    } catch (const DbError& failure) {
        err << "orvane-report: " << failure.description() << "\n";
        return DatabaseFailure;
    }
    // Nothing to report is no error: the status says it, and cron mails nothing.
    if (groups.empty())
        return NothingMatched;
    try {
        switch (*format) {
        case Format::Table:
            // A table sent to a full disk or a closed pipe fails as a file would.
            out << ReportTable(groups, QDate::currentDate());
            out.flush();
            if (out.status() != QTextStream::Ok)
                throw std::runtime_error("cannot be written");
            break;
        case Format::Csv:
            writeCsv(options->output, ReportCsv(groups, QDate::currentDate()));
            break;
        case Format::Xls:
        case Format::Xlsx:
            writeWorkbook(options->output, *format, unitName, groups);
            break;
        }
    } catch (const std::exception& failure) {
        err << "orvane-report: "
            << (*format == Format::Table ? QStringLiteral("standard output") : options->output)
            << ": " << failure.what() << "\n";
        return OutputFailure;
    }
    return Rows;
}

} // namespace orvane::report
