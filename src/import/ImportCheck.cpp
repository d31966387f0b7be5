#include "import/ImportCheck.h"

#include "app/mdlTarovel.h"

#include <QSet>

namespace orvane::importer {

namespace {

const QString kOtherUnit = QStringLiteral("another unit: switch to it to import these rows");

bool blank(const QStringList& cells) {
    for (const QString& cell : cells)
        if (!QStringView(cell).trimmed().isEmpty())
            return false;
    return true;
}

// The unit a report export's unit heading names: a row with only one cell filled, which is
// a unit's name.
std::optional<QString> unitHeading(const QStringList& cells, const UnitSnapshot& unit) {
    QStringView only;
    for (const QString& cell : cells) {
        const QStringView text = QStringView(cell).trimmed();
        if (text.isEmpty())
            continue;
        if (!only.isEmpty())
            return std::nullopt;
        only = text;
    }
    const auto found = unit.unitByName.constFind(only.toString().toUpper());
    return found == unit.unitByName.constEnd() ? std::nullopt : std::optional<QString>(*found);
}

QString rowList(const QList<int>& rows, int except) {
    QStringList others;
    for (int row : rows)
        if (row != except)
            others << QString::number(row);
    return others.join(QStringLiteral(", "));
}

SystemRecord typedRecord(const CheckedRow& row, const QDate& expiry) {
    SystemRecord typed;
    typed.sysId = row.values[int(Field::Key)];
    typed.ip = row.values[int(Field::Ip)];
    typed.os = row.values[int(Field::Os)];
    typed.user = row.values[int(Field::User)];
    typed.dept = row.values[int(Field::Dept)];
    typed.remarks = row.values[int(Field::Remarks)];
    typed.expiry = expiry;
    return typed;
}

QString* fieldOf(SystemRecord& record, Field field) {
    switch (field) {
    case Field::Ip:
        return &record.ip;
    case Field::Os:
        return &record.os;
    case Field::User:
        return &record.user;
    case Field::Dept:
        return &record.dept;
    case Field::Remarks:
        return &record.remarks;
    case Field::Key:
        return &record.sysId;
    case Field::Expiry:
        break;
    }
    return nullptr;
}

void fail(CheckedRow& row, const QString& reason, int field = -1) {
    row.status = RowStatus::Error;
    row.reason = reason;
    row.reasonField = field;
}

// Compares the file's row with the stored record; the changed fields take the values an
// update writes, the others keep what is stored.
void compare(CheckedRow& row, const SystemRecord& stored, const QDate& expiry,
             const ColumnMap& columns) {
    SystemRecord clean = ActivationRegister::CleanForUpdate(typedRecord(row, expiry));
    row.record = stored;
    row.changed = 0;
    for (const Field field : {Field::Ip, Field::Os, Field::User, Field::Dept, Field::Remarks}) {
        if (ColumnOf(columns, field) < 0)
            continue;
        QString* now = fieldOf(row.record, field);
        const QString given = field == Field::Ip ? TrimBlanks(row.values[int(field)].toUpper())
                                                 : TrimBlanks(row.values[int(field)]);
        if (given == *now)
            continue;
        row.changed |= 1u << int(field);
        *now = *fieldOf(clean, field);
    }
    if (ColumnOf(columns, Field::Expiry) >= 0 && expiry != stored.expiry) {
        row.changed |= 1u << int(Field::Expiry);
        row.record.expiry = expiry;
    }
    row.status = row.changed ? RowStatus::Update : RowStatus::Unchanged;
}

} // namespace

CheckResult CheckRows(const SheetCells& sheet, const CheckSetup& setup, const UnitSnapshot& unit,
                      const Progress& progress, const std::atomic_bool* cancel) {
    CheckResult result;
    if (setup.headingsRow < 0)
        return result;
    // First pass: the rows that carry a record, their unit, IP and serial.
    std::optional<QString> groupUnit;
    QHash<QString, QList<int>> rowsByIp, rowsByKey;
    const size_t total = sheet.rows.size();
    result.rows.reserve(total);
    for (size_t r = size_t(setup.headingsRow) + 1; r < total; ++r) {
        if ((r & 1023) == 0) {
            if (cancel && cancel->load())
                throw ImportCancelled();
            if (progress)
                progress(qint64(r), qint64(total) * 2);
        }
        const QStringList& cells = sheet.rows[r];
        if (blank(cells) || IsHeadingsRow(cells))
            continue;
        if (const std::optional<QString> heading = unitHeading(cells, unit)) {
            groupUnit = heading;
            continue;
        }
        CheckedRow row;
        row.fileRow = int(r) + 1;
        for (int f = 0; f < kFieldCount; ++f) {
            const int c = ColumnOf(setup.columns, Field(f));
            row.values[f] = c >= 0 && c < cells.size() ? cells[c] : QString();
        }
        if (groupUnit && *groupUnit != unit.unitCode) {
            row.status = RowStatus::OtherUnit;
            row.reason = kOtherUnit;
        } else {
            const QString ip = TrimBlanks(row.values[int(Field::Ip)].toUpper());
            const QString key = TrimBlanks(row.values[int(Field::Key)]);
            if (!ip.isEmpty())
                rowsByIp[ip].append(row.fileRow);
            if (!key.isEmpty())
                rowsByKey[key].append(row.fileRow);
        }
        result.rows.push_back(std::move(row));
    }

    // Second pass: each row's outcome.
    const int keyColumn = ColumnOf(setup.columns, Field::Key);
    for (size_t i = 0; i < result.rows.size(); ++i) {
        if ((i & 1023) == 0) {
            if (cancel && cancel->load())
                throw ImportCancelled();
            if (progress)
                progress(qint64(total + i), qint64(total) * 2);
        }
        CheckedRow& row = result.rows[i];
        if (row.status == RowStatus::OtherUnit)
            continue;
        const QString ip = TrimBlanks(row.values[int(Field::Ip)].toUpper());
        const QString key = keyColumn >= 0 ? TrimBlanks(row.values[int(Field::Key)]) : QString();
        if (ip.isEmpty()) {
            fail(row, QStringLiteral("no IP"), int(Field::Ip));
            continue;
        }
        bool tooLong = false;
        for (int f = 0; f < kFieldCount && !tooLong; ++f) {
            const QString value = TrimBlanks(row.values[f]);
            if (Field(f) == Field::Expiry || ColumnOf(setup.columns, Field(f)) < 0)
                continue;
            // A UTF-16 unit is at most 3 bytes of UTF-8: most texts need no count of bytes.
            if (value.size() > unit.maxChars[f] ||
                (value.size() * 3 > unit.maxBytes[f] && value.toUtf8().size() > unit.maxBytes[f])) {
                fail(row,
                     QStringLiteral("%1 is longer than its column holds (%2 characters)")
                         .arg(FieldName(Field(f)))
                         .arg(unit.maxChars[f]),
                     f);
                tooLong = true;
            }
        }
        if (tooLong)
            continue;
        const std::optional<QDate> expiry =
            ReadDate(row.values[int(Field::Expiry)], setup.dates, sheet.serialOrigin);
        if (!expiry) {
            fail(row,
                 QStringLiteral("the date '%1' cannot be read")
                     .arg(row.values[int(Field::Expiry)].trimmed()),
                 int(Field::Expiry));
            continue;
        }
        if (rowsByIp.value(ip).size() > 1) {
            fail(row,
                 QStringLiteral("the same IP is also on row %1")
                     .arg(rowList(rowsByIp.value(ip), row.fileRow)),
                 int(Field::Ip));
            continue;
        }
        QString target;
        if (!key.isEmpty()) {
            if (rowsByKey.value(key).size() > 1) {
                fail(row,
                     QStringLiteral("the same serial is also on row %1")
                         .arg(rowList(rowsByKey.value(key), row.fileRow)),
                     int(Field::Key));
                continue;
            }
            if (!unit.bySerial.contains(key)) {
                fail(row, QStringLiteral("serial %1 is no record of this unit").arg(key),
                     int(Field::Key));
                continue;
            }
            target = key;
        }
        // Records that hold the IP now and keep it after the import: a record that another
        // row of the file rewrites takes that row's IP.
        QStringList owners;
        for (const QString& serial : unit.serialsByIp.value(ip))
            if (serial != target && !rowsByKey.contains(serial))
                owners << serial;
        if (!owners.isEmpty()) {
            if (key.isEmpty() && owners.size() == 1 &&
                setup.ipConflict == IpConflict::UpdateThatRecord) {
                target = owners.first();
            } else {
                fail(row,
                     QStringLiteral("the IP belongs to serial %1 of this unit")
                         .arg(owners.join(QStringLiteral(", "))),
                     int(Field::Ip));
                continue;
            }
        }
        if (target.isEmpty()) {
            row.status = RowStatus::New;
            row.record = ActivationRegister::CleanForInsert(typedRecord(row, *expiry));
            row.record.unitCode = unit.unitCode;
            row.record.sysId.clear();
        } else {
            compare(row, unit.bySerial.value(target), *expiry, setup.columns);
        }
    }
    for (const CheckedRow& row : result.rows) {
        switch (row.status) {
        case RowStatus::New:
            ++result.counts.created;
            break;
        case RowStatus::Update:
            ++result.counts.updates;
            break;
        case RowStatus::Unchanged:
            ++result.counts.unchanged;
            break;
        case RowStatus::Error:
            ++result.counts.errors;
            break;
        case RowStatus::OtherUnit:
            ++result.counts.otherUnit;
            break;
        }
    }
    return result;
}

QString CountLine(const ImportCounts& counts) {
    QString line = QStringLiteral("%1 new, %2 updates, %3 unchanged, %4 errors")
                       .arg(counts.created)
                       .arg(counts.updates)
                       .arg(counts.unchanged)
                       .arg(counts.errors);
    if (counts.otherUnit)
        line += QStringLiteral(", %1 of another unit").arg(counts.otherUnit);
    return line;
}

QString StatusText(RowStatus status) {
    switch (status) {
    case RowStatus::New:
        return QStringLiteral("new");
    case RowStatus::Update:
        return QStringLiteral("update");
    case RowStatus::Unchanged:
        return QStringLiteral("unchanged");
    case RowStatus::Error:
        return QStringLiteral("error");
    case RowStatus::OtherUnit:
        return QStringLiteral("another unit");
    }
    return QString();
}

QByteArray ErrorRowsCsv(const CheckResult& result) {
    auto quoted = [](QString text) {
        if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
            text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')))
            text = QLatin1Char('"') + text.replace(QLatin1Char('"'), QLatin1String("\"\"")) +
                   QLatin1Char('"');
        return text;
    };
    QStringList lines;
    QStringList heading{QStringLiteral("Row"), QStringLiteral("Reason")};
    for (int f = 0; f < kFieldCount; ++f)
        heading << FieldName(Field(f));
    lines << heading.join(QLatin1Char(','));
    for (const CheckedRow& row : result.rows) {
        if (row.status != RowStatus::Error && row.status != RowStatus::OtherUnit)
            continue;
        QStringList cells{QString::number(row.fileRow), quoted(row.reason)};
        for (const QString& value : row.values)
            cells << quoted(value);
        lines << cells.join(QLatin1Char(','));
    }
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8();
}

} // namespace orvane::importer
