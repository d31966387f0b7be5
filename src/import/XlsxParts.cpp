#include "import/XlsxParts.h"

#include <QRegularExpression>
#include <QStringList>

namespace orvane::importer {

namespace {

const QString kStrings = QStringLiteral("xl/sharedStrings.xml");
const QString kWorkbookRels = QStringLiteral("xl/_rels/workbook.xml.rels");
const QString kTypes = QStringLiteral("[Content_Types].xml");

// "/xl/worksheets/sheet1.xml" seen from the folder "xl/" is "worksheets/sheet1.xml".
QString relativeTo(const QString& folder, const QString& absolute) {
    QStringList from = folder.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QStringList to = absolute.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    while (!from.isEmpty() && !to.isEmpty() && from.first() == to.first()) {
        from.removeFirst();
        to.removeFirst();
    }
    QStringList parts;
    for (int i = 0; i < from.size(); ++i)
        parts << QStringLiteral("..");
    return (parts + to).join(QLatin1Char('/'));
}

// A .rels part with its absolute targets made relative to the folder the part describes
// ("xl/_rels/workbook.xml.rels" describes "xl/").
QByteArray relativeRels(const QString& name, const QByteArray& xml) {
    static const QRegularExpression target(QStringLiteral("Target=\"(/[^\"]*)\""));
    const QString folder = name.left(name.lastIndexOf(QLatin1String("_rels/")));
    const QString text = QString::fromUtf8(xml);
    QString out;
    qsizetype last = 0;
    for (auto it = target.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out += text.mid(last, m.capturedStart(1) - last) + relativeTo(folder, m.captured(1));
        last = m.capturedEnd(1);
    }
    out += text.mid(last);
    return out.toUtf8();
}

// Moves a sheet's inline strings into `items` (their XML text as it stands, escapes and all)
// and gives each cell the shared string's index.
QByteArray sharedCells(const QByteArray& xml, QStringList& items, int firstIndex) {
    static const QRegularExpression cell(
        QStringLiteral("<c\\b([^>]*?)\\st=\"inlineStr\"([^>]*)>\\s*<is>(.*?)</is>"),
        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression run(QStringLiteral("<t\\b[^>]*>(.*?)</t>|<t\\b[^>]*/>"),
                                        QRegularExpression::DotMatchesEverythingOption);
    const QString text = QString::fromUtf8(xml);
    QString out;
    out.reserve(text.size());
    qsizetype last = 0;
    for (auto it = cell.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QString value;
        for (auto r = run.globalMatch(m.captured(3)); r.hasNext();)
            value += r.next().captured(1);
        out += text.mid(last, m.capturedStart(0) - last);
        out += QStringLiteral("<c%1 t=\"s\"%2><v>%3</v>")
                   .arg(m.captured(1), m.captured(2))
                   .arg(firstIndex + items.size());
        items << value;
        last = m.capturedEnd(0);
    }
    out += text.mid(last);
    return out.toUtf8();
}

QByteArray insertBefore(const QByteArray& xml, const char* closing, const QByteArray& text) {
    const qsizetype at = xml.lastIndexOf(closing);
    if (at < 0)
        return xml;
    QByteArray out = xml;
    out.insert(at, text);
    return out;
}

} // namespace

QHash<QString, QByteArray> ReadableXlsxParts(const QHash<QString, QByteArray>& parts) {
    QHash<QString, QByteArray> changed;
    for (auto it = parts.constBegin(); it != parts.constEnd(); ++it)
        if (it.key().endsWith(QLatin1String(".rels")) && it.value().contains("Target=\"/"))
            changed.insert(it.key(), relativeRels(it.key(), it.value()));

    const bool hadStrings = parts.contains(kStrings);
    static const QRegularExpression item(QStringLiteral("<si[\\s>/]"));
    const int existing = hadStrings ? int(QString::fromUtf8(parts.value(kStrings))
                                              .count(item))
                                    : 0;
    QStringList items;
    for (auto it = parts.constBegin(); it != parts.constEnd(); ++it)
        if (it.key().startsWith(QLatin1String("xl/worksheets/sheet")) &&
            it.value().contains("t=\"inlineStr\""))
            changed.insert(it.key(), sharedCells(it.value(), items, existing + items.size()));
    if (items.isEmpty())
        return changed;

    QByteArray added;
    for (const QString& value : items)
        added += "<si><t xml:space=\"preserve\">" + value.toUtf8() + "</t></si>";
    if (hadStrings) {
        changed.insert(kStrings, insertBefore(parts.value(kStrings), "</sst>", added));
        return changed;
    }
    changed.insert(kStrings, "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                             "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/"
                             "main\">" +
                                 added + "</sst>");
    const QByteArray rels = changed.value(kWorkbookRels, parts.value(kWorkbookRels));
    changed.insert(kWorkbookRels,
                   insertBefore(rels, "</Relationships>",
                                "<Relationship Id=\"rIdOrvaneStrings\" Type=\"http://schemas."
                                "openxmlformats.org/officeDocument/2006/relationships/"
                                "sharedStrings\" Target=\"sharedStrings.xml\"/>"));
    changed.insert(kTypes, insertBefore(parts.value(kTypes), "</Types>",
                                        "<Override PartName=\"/xl/sharedStrings.xml\" "
                                        "ContentType=\"application/vnd.openxmlformats-"
                                        "officedocument.spreadsheetml.sharedStrings+xml\"/>"));
    return changed;
}

} // namespace orvane::importer
