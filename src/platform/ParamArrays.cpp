// One statement run for many rows of values at once (ODBC parameter arrays): the driver sends
// the whole array to the server in one bulk exchange instead of a round trip a row, and the
// server parses the statement once. Every row of a column gets a slot as wide as its widest
// value, so one long text would widen thousands of slots: the rows go in slices of bounded size.
#include "platform/OdbcDetail.h"

#include <QDate>
#include <QStringEncoder>

#include <algorithm>
#include <cstring>

namespace orvane::detail {

namespace {

bool isNumber(int type) {
    return type == QMetaType::Int || type == QMetaType::LongLong || type == QMetaType::UInt ||
           type == QMetaType::Bool;
}

// NULL as the single-row binding takes it: a null value of any type but text.
bool isNull(const QVariant& v) {
    return v.typeId() != QMetaType::QString && v.isNull();
}

// A column of the array, bound column-wise: fixed-width slots, a length or NULL per row.
struct ColumnArray {
    bool numbers = true;
    std::vector<SQLBIGINT> values;
    std::vector<char> texts;
    SQLLEN width = 1;
    std::vector<SQLLEN> lengths;

    void fill(const Params* rows, size_t n, int c) {
        lengths.assign(n, 0);
        for (size_t r = 0; r < n; ++r) {
            const QVariant& v = rows[r][c];
            if (isNull(v))
                lengths[r] = SQL_NULL_DATA;
            else if (!isNumber(v.typeId()))
                numbers = false;
        }
        if (numbers) {
            values.assign(n, 0);
            for (size_t r = 0; r < n; ++r)
                if (lengths[r] != SQL_NULL_DATA)
                    values[r] = rows[r][c].toLongLong();
            return;
        }
        // UTF-8 bytes of exact length, the connection's character set, encoded into one pool
        // and then laid into the slots: no buffer per value.
        QStringEncoder toUtf8(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
        QByteArray pool;
        std::vector<qsizetype> starts(n, 0);
        for (size_t r = 0; r < n; ++r) {
            starts[r] = pool.size();
            if (lengths[r] == SQL_NULL_DATA)
                continue;
            const QVariant& v = rows[r][c];
            const QString text =
                v.typeId() == QMetaType::QDate ? v.toDate().toString("yyyy-MM-dd") : v.toString();
            pool.resize(starts[r] + text.size() * 3);
            const char* end = toUtf8.appendToBuffer(pool.data() + starts[r], text);
            pool.resize(end - pool.constData());
            lengths[r] = SQLLEN(pool.size() - starts[r]);
            width = std::max(width, lengths[r]);
        }
        texts.assign(n * size_t(width), '\0');
        for (size_t r = 0; r < n; ++r)
            if (lengths[r] > 0)
                std::memcpy(texts.data() + r * size_t(width), pool.constData() + starts[r],
                            size_t(lengths[r]));
    }
};

// The most UTF-8 bytes a value can take in its slot.
qsizetype slotBytes(const QVariant& v) {
    if (isNull(v))
        return 1;
    return v.typeId() == QMetaType::QString ? std::max<qsizetype>(1, 3 * v.toString().size()) : 32;
}

qint64 runSlice(SQLHDBC dbc, const QString& sql, const Params* rows, size_t n) {
    const int columns = int(rows[0].size());
    std::vector<ColumnArray> arrays{size_t(columns)};
    for (int c = 0; c < columns; ++c)
        arrays[size_t(c)].fill(rows, n, c);

    SQLHSTMT stmt = SQL_NULL_HSTMT;
    check(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt), SQL_HANDLE_DBC, dbc,
          "A statement could not be prepared.");
    std::vector<SQLUSMALLINT> status(n, SQL_PARAM_UNUSED);
    SQLULEN processed = 0;
    try {
        check(SQLPrepareW(stmt, const_cast<SQLWCHAR*>(wide(sql)), SQL_NTS), SQL_HANDLE_STMT, stmt,
              "A statement could not be prepared.");
        check(SQLSetStmtAttr(stmt, SQL_ATTR_PARAM_BIND_TYPE,
                             reinterpret_cast<SQLPOINTER>(SQL_PARAM_BIND_BY_COLUMN), 0),
              SQL_HANDLE_STMT, stmt, "Binding a parameter failed.");
        check(SQLSetStmtAttr(stmt, SQL_ATTR_PARAMSET_SIZE, reinterpret_cast<SQLPOINTER>(SQLULEN(n)),
                             0),
              SQL_HANDLE_STMT, stmt, "Binding a parameter failed.");
        SQLSetStmtAttr(stmt, SQL_ATTR_PARAM_STATUS_PTR, status.data(), 0);
        SQLSetStmtAttr(stmt, SQL_ATTR_PARAMS_PROCESSED_PTR, &processed, 0);
        for (int c = 0; c < columns; ++c) {
            ColumnArray& a = arrays[size_t(c)];
            const SQLUSMALLINT n = SQLUSMALLINT(c + 1);
            const SQLRETURN rc =
                a.numbers ? SQLBindParameter(stmt, n, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0,
                                             0, a.values.data(), 0, a.lengths.data())
                          : SQLBindParameter(stmt, n, SQL_PARAM_INPUT, SQL_C_CHAR,
                                             a.width > 8000 ? SQL_LONGVARCHAR : SQL_VARCHAR,
                                             SQLULEN(a.width), 0, a.texts.data(), a.width,
                                             a.lengths.data());
            check(rc, SQL_HANDLE_STMT, stmt, "Binding a parameter failed.");
        }
        const SQLRETURN rc = SQLExecute(stmt);
        if (rc != SQL_NO_DATA)
            check(rc, SQL_HANDLE_STMT, stmt, "The statement failed.");
        // A driver may report a failed row only in its status.
        for (size_t r = 0; r < std::min<size_t>(processed, status.size()); ++r)
            if (status[r] == SQL_PARAM_ERROR)
                throw diagnose(SQL_HANDLE_STMT, stmt,
                               QStringLiteral("Row %1 of the statement failed.").arg(r + 1));
    } catch (...) {
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        throw;
    }
    SQLLEN affected = 0;
    SQLRowCount(stmt, &affected);
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    return qint64(affected);
}

} // namespace

std::vector<size_t> ArraySlices(const std::vector<Params>& rows, qsizetype budget) {
    std::vector<size_t> slices;
    std::vector<qsizetype> widest;
    size_t start = 0;
    for (size_t r = 0; r < rows.size(); ++r) {
        std::vector<qsizetype> wider(size_t(rows[r].size()), 1);
        for (size_t c = 0; c < wider.size(); ++c)
            wider[c] = std::max(c < widest.size() ? widest[c] : 1, slotBytes(rows[r][int(c)]));
        qsizetype rowBytes = 0;
        for (qsizetype w : wider)
            rowBytes += w;
        if (r > start && rowBytes * qsizetype(r - start + 1) > budget) {
            slices.push_back(r - start);
            start = r;
            for (size_t c = 0; c < wider.size(); ++c)
                wider[c] = slotBytes(rows[r][int(c)]);
        }
        widest = std::move(wider);
    }
    if (start < rows.size())
        slices.push_back(rows.size() - start);
    return slices;
}

qint64 runArray(SQLHDBC dbc, const QString& sql, const std::vector<Params>& rows) {
    for (const Params& row : rows)
        if (row.size() != rows.front().size())
            throw DbError("Every row of a parameter array needs the same number of values.");
    qint64 affected = 0;
    size_t start = 0;
    for (size_t n : ArraySlices(rows, kArrayBytes)) {
        affected += runSlice(dbc, sql, rows.data() + start, n);
        start += n;
    }
    return affected;
}

} // namespace orvane::detail
