#pragma once
// Internals shared by the connection and its result sets; not for screens.
#include "platform/Database.h"

#include <sql.h>
#include <sqlext.h>

#include <vector>

namespace orvane {

namespace detail {
const SQLWCHAR* wide(const QString& text);
DbError diagnose(SQLSMALLINT type, SQLHANDLE handle, const QString& fallback);
void check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const char* what);
SQLHENV environment();
// Runs `sql` once for every row of values (ParamArrays.cpp), in slices of at most about kArrayBytes
// of slots each (ArraySlices gives their row counts); rows affected.
qint64 runArray(SQLHDBC dbc, const QString& sql, const std::vector<Params>& rows);
constexpr qsizetype kArrayBytes = qsizetype(32) << 20;
std::vector<size_t> ArraySlices(const std::vector<Params>& rows, qsizetype budget);
} // namespace detail

struct Recordset::Impl {
    // Every column is bound to a buffer that SQLFetch fills in one call per row; a value longer
    // than its buffer is read again whole with SQLGetData (the driver allows it on bound
    // columns). One SQLGetData call per field made long results several times slower.
    struct Column {
        std::vector<char> buffer;
        SQLLEN indicator = 0;
    };

    SQLHSTMT stmt = SQL_NULL_HSTMT;
    QVector<QString> names;
    QVector<QString> values;
    QVector<bool> nulls;
    std::vector<Column> columns;
    std::vector<bool> ready; // values[c] holds the current row's text
    bool eof = true;
    bool empty = true;
    std::vector<char> raw = std::vector<char>(4096);

    ~Impl() { release(); }
    void release() {
        if (stmt != SQL_NULL_HSTMT) {
            SQLFreeHandle(SQL_HANDLE_STMT, stmt);
            stmt = SQL_NULL_HSTMT;
        }
    }

    // Room for a column's values in bytes: its declared size in UTF-8 when that is small,
    // else enough for the usual short texts of long text columns.
    static SQLLEN bufferBytes(SQLULEN size) {
        constexpr SQLULEN most = 1024;
        if (size == 0 || size > most)
            return SQLLEN(most * 4);
        return SQLLEN(size * 4 + 8);
    }

    void describe() {
        SQLSMALLINT count = 0;
        detail::check(SQLNumResultCols(stmt, &count), SQL_HANDLE_STMT, stmt,
                      "Reading the result failed.");
        names.resize(count);
        values.resize(count);
        nulls.resize(count);
        columns.assign(size_t(count), Column());
        ready.assign(size_t(count), false);
        for (SQLSMALLINT c = 0; c < count; ++c) {
            SQLWCHAR name[256];
            SQLSMALLINT length = 0, type = 0, digits = 0, nullable = 0;
            SQLULEN size = 0;
            detail::check(SQLDescribeColW(stmt, SQLUSMALLINT(c + 1), name, 256, &length, &type,
                                          &size, &digits, &nullable),
                          SQL_HANDLE_STMT, stmt, "Reading the result failed.");
            names[c] =
                QString::fromUtf16(reinterpret_cast<const char16_t*>(name), qMin<int>(length, 255));
            // Raw bytes in the connection's character set (UTF-8): wide reads stop at a NUL.
            Column& column = columns[size_t(c)];
            column.buffer.resize(size_t(bufferBytes(size)));
            detail::check(SQLBindCol(stmt, SQLUSMALLINT(c + 1), SQL_C_BINARY, column.buffer.data(),
                                     SQLLEN(column.buffer.size()), &column.indicator),
                          SQL_HANDLE_STMT, stmt, "Reading the result failed.");
        }
    }

    void fetch() {
        if (stmt == SQL_NULL_HSTMT || names.isEmpty()) {
            eof = true;
            return;
        }
        SQLRETURN rc = SQLFetch(stmt);
        if (rc == SQL_NO_DATA) {
            eof = true;
            release();
            return;
        }
        detail::check(rc, SQL_HANDLE_STMT, stmt, "Reading a row failed.");
        eof = false;
        // Texts are made when a field is first read: screens read only some of the columns.
        std::fill(ready.begin(), ready.end(), false);
        for (int c = 0; c < names.size(); ++c)
            nulls[c] = columns[size_t(c)].indicator == SQL_NULL_DATA;
    }

    const QString& value(int c) {
        if (!ready[size_t(c)]) {
            const Column& column = columns[size_t(c)];
            const SQLLEN got = column.indicator;
            if (got == SQL_NULL_DATA)
                values[c] = QString();
            else if (got == SQL_NO_TOTAL || got > SQLLEN(column.buffer.size()))
                readColumn(c); // truncated in the buffer; the row is still current
            else
                values[c] = QString::fromUtf8(column.buffer.data(), qsizetype(got));
            ready[size_t(c)] = true;
        }
        return values[c];
    }

    void readColumn(int c) {
        QByteArray bytes;
        bool isNull = false;
        for (;;) {
            SQLLEN indicator = 0;
            const SQLLEN room = SQLLEN(raw.size());
            SQLRETURN rc =
                SQLGetData(stmt, SQLUSMALLINT(c + 1), SQL_C_BINARY, raw.data(), room, &indicator);
            if (rc == SQL_NO_DATA)
                break;
            detail::check(rc, SQL_HANDLE_STMT, stmt, "Reading a field failed.");
            if (indicator == SQL_NULL_DATA) {
                isNull = true;
                break;
            }
            const SQLLEN got = indicator == SQL_NO_TOTAL ? room : qMin(indicator, room);
            bytes.append(raw.data(), got);
            if (rc == SQL_SUCCESS)
                break;
            if (indicator != SQL_NO_TOTAL && indicator > room)
                raw.resize(std::min<size_t>(size_t(indicator), size_t(1) << 24));
        }
        QString text = QString::fromUtf8(bytes);
        values[c] = text;
        nulls[c] = isNull;
    }
};

} // namespace orvane
