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
// and gives each cell the shared string's index. A plain scan: sheets run to many megabytes.
QByteArray sharedCells(const QByteArray& xml, QList<QByteArray>& items, int firstIndex) {
    static const QByteArray kind("t=\"inlineStr\"");
    QByteArray out;
    out.reserve(xml.size());
    qsizetype done = 0;
    for (qsizetype at = xml.indexOf(kind); at >= 0; at = xml.indexOf(kind, at + 1)) {
        const qsizetype open = xml.lastIndexOf("<c", at);
        const qsizetype tagEnd = xml.indexOf('>', at);
        const qsizetype isOpen = xml.indexOf("<is>", tagEnd);
        const qsizetype isClose = xml.indexOf("</is>", tagEnd);
        if (open < done || tagEnd < 0 || isOpen < 0 || isClose < isOpen ||
            xml.indexOf('<', tagEnd) != isOpen)
            continue;
        QByteArray value;
        for (qsizetype t = xml.indexOf("<t", isOpen); t >= 0 && t < isClose;
             t = xml.indexOf("<t", t + 2)) {
            const qsizetype textStart = xml.indexOf('>', t);
            if (textStart < 0 || xml[textStart - 1] == '/' ||
                (xml[t + 2] != '>' && xml[t + 2] != ' '))
                continue;
            const qsizetype textEnd = xml.indexOf("</t>", textStart);
            if (textEnd < 0 || textEnd > isClose)
                break;
            value += xml.mid(textStart + 1, textEnd - textStart - 1);
        }
        out += xml.mid(done, at - done);
        out += "t=\"s\"";
        out += xml.mid(at + kind.size(), tagEnd - at - kind.size());
        out += "><v>" + QByteArray::number(firstIndex + items.size()) + "</v>";
        items << value;
        done = isClose + 5;
        at = done - 1;
    }
    out += xml.mid(done);
    return out;
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

    bool inline_ = false;
    for (auto it = parts.constBegin(); it != parts.constEnd() && !inline_; ++it)
        inline_ = it.key().startsWith(QLatin1String("xl/worksheets/sheet")) &&
                  it.value().contains("t=\"inlineStr\"");
    if (!inline_)
        return changed;
    const bool hadStrings = parts.contains(kStrings);
    static const QRegularExpression item(QStringLiteral("<si[\\s>/]"));
    const int existing = hadStrings ? int(QString::fromUtf8(parts.value(kStrings)).count(item)) : 0;
    QList<QByteArray> items;
    for (auto it = parts.constBegin(); it != parts.constEnd(); ++it)
        if (it.key().startsWith(QLatin1String("xl/worksheets/sheet")) &&
            it.value().contains("t=\"inlineStr\""))
            changed.insert(it.key(), sharedCells(it.value(), items, existing + items.size()));
    if (items.isEmpty())
        return changed;

    QByteArray added;
    for (const QByteArray& value : items)
        added += "<si><t xml:space=\"preserve\">" + value + "</t></si>";
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
