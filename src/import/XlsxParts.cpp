#include "import/XlsxParts.h"

#include <QRegularExpression>
#include <QStringList>
#include <charconv>
#include <cstring>

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

// Moves a sheet's inline strings into `items` as shared-string items (their XML text as it
// stands, escapes and all) and gives each cell the shared string's index; `count` is the index
// of the next item, `seen` the items so far by their text. The sheet is rewritten in place, since
// each cell only shrinks: sheets run to many megabytes, and every fresh buffer of that size costs a
// page fault per 4 KiB.
void sharedCells(QByteArray& xml, QByteArray& items, int& count, QHash<QByteArray, int>& seen) {
    static const QByteArray kind("t=\"inlineStr\"");
    items.reserve(items.size() + xml.size() / 3);
    QByteArray text;
    char* const data = xml.data();
    qsizetype done = 0, write = 0;
    auto put = [&](const char* from, qsizetype size) {
        std::memmove(data + write, from, size_t(size));
        write += size;
    };
    char number[16];
    for (qsizetype at = xml.indexOf(kind); at >= 0; at = xml.indexOf(kind, at + 1)) {
        const qsizetype open = xml.lastIndexOf("<c", at);
        const qsizetype tagEnd = xml.indexOf('>', at);
        const qsizetype isOpen = xml.indexOf("<is>", tagEnd);
        const qsizetype isClose = xml.indexOf("</is>", tagEnd);
        if (open < done || tagEnd < 0 || isOpen < 0 || isClose < isOpen ||
            xml.indexOf('<', tagEnd) != isOpen)
            continue;
        text.resize(0);
        for (qsizetype t = xml.indexOf("<t", isOpen); t >= 0 && t < isClose;
             t = xml.indexOf("<t", t + 2)) {
            const qsizetype textStart = xml.indexOf('>', t);
            if (textStart < 0 || data[textStart - 1] == '/' ||
                (data[t + 2] != '>' && data[t + 2] != ' '))
                continue;
            const qsizetype textEnd = xml.indexOf("</t>", textStart);
            if (textEnd < 0 || textEnd > isClose)
                break;
            text.append(data + textStart + 1, textEnd - textStart - 1);
        }
        // A text the sheet repeats (a department, a date) is one item: fewer strings to parse.
        int index = seen.value(text, -1);
        if (index < 0) {
            index = count++;
            seen.insert(text, index);
            // Whitespace in <t> is kept by the reader without xml:space.
            items.append("<si><t>").append(text).append("</t></si>");
        }
        // At most 23 bytes out for the 31 or more of `t="inlineStr"><is></is>`.
        put(data + done, at - done);
        put("t=\"s\"", 5);
        put(data + at + kind.size(), tagEnd - at - kind.size());
        put("><v>", 4);
        put(number, std::to_chars(number, number + sizeof number, index).ptr - number);
        put("</v>", 4);
        done = isClose + 5;
        at = done - 1;
    }
    put(data + done, xml.size() - done);
    xml.truncate(write);
}

// The items of a shared-strings part: its "<si>", "<si ..." and "<si/>" elements.
int itemCount(const QByteArray& xml) {
    int n = 0;
    for (qsizetype at = xml.indexOf("<si"); at >= 0; at = xml.indexOf("<si", at + 3)) {
        const char next = at + 3 < xml.size() ? xml[at + 3] : '\0';
        n += next == '>' || next == '/' || next == ' ' || next == '\t' || next == '\r' ||
             next == '\n';
    }
    return n;
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

QHash<QString, QByteArray> ReadableXlsxParts(QHash<QString, QByteArray> parts) {
    QHash<QString, QByteArray> changed;
    for (auto it = parts.constBegin(); it != parts.constEnd(); ++it)
        if (it.key().endsWith(QLatin1String(".rels")) && it.value().contains("Target=\"/"))
            changed.insert(it.key(), relativeRels(it.key(), it.value()));

    auto hasInline = [](const QString& name, const QByteArray& xml) {
        return name.startsWith(QLatin1String("xl/worksheets/sheet")) &&
               xml.contains("t=\"inlineStr\"");
    };
    bool inline_ = false;
    for (auto it = parts.constBegin(); it != parts.constEnd() && !inline_; ++it)
        inline_ = hasInline(it.key(), it.value());
    if (!inline_)
        return changed;
    const bool hadStrings = parts.contains(kStrings);
    int count = hadStrings ? itemCount(parts.value(kStrings)) : 0;
    const int existing = count;
    QHash<QByteArray, int> seen;
    // The new items go straight after the head of a new part, or into the existing one.
    QByteArray added = hadStrings ? QByteArray()
                                  : QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" "
                                               "standalone=\"yes\"?><sst xmlns=\"http://schemas."
                                               "openxmlformats.org/spreadsheetml/2006/main\">");
    for (auto it = parts.begin(); it != parts.end(); ++it) {
        if (!hasInline(it.key(), it.value()))
            continue;
        sharedCells(it.value(), added, count, seen);
        changed.insert(it.key(), std::move(it.value()));
    }
    if (count == existing)
        return changed;

    if (hadStrings) {
        changed.insert(kStrings, insertBefore(parts.value(kStrings), "</sst>", added));
        return changed;
    }
    changed.insert(kStrings, std::move(added.append("</sst>")));
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
