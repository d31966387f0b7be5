#include "platform/Database.h"

#include "platform/OdbcDetail.h"

#include <sqlucode.h>

#include <QDate>

#include <algorithm>
#include <exception>
#include <string>
#include <vector>

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "unixODBC must use 2-byte SQLWCHAR");

namespace orvane {

namespace detail {

const SQLWCHAR* wide(const QString& text) {
    return reinterpret_cast<const SQLWCHAR*>(text.utf16());
}

DbError diagnose(SQLSMALLINT type, SQLHANDLE handle, const QString& fallback) {
    QString description, state;
    int native = 0;
    SQLWCHAR sqlState[6] = {0};
    SQLINTEGER nativeError = 0;
    SQLWCHAR message[1024];
    SQLSMALLINT length = 0;
    for (SQLSMALLINT rec = 1;; ++rec) {
        SQLRETURN rc = SQLGetDiagRecW(type, handle, rec, sqlState, &nativeError, message,
                                      SQLSMALLINT(std::size(message)), &length);
        if (!SQL_SUCCEEDED(rc))
            break;
        if (rec == 1) {
            state = QString::fromUtf16(reinterpret_cast<const char16_t*>(sqlState), 5);
            native = int(nativeError);
        }
        int used = qMin<int>(length, int(std::size(message)) - 1);
        if (!description.isEmpty())
            description += "\n";
        description += QString::fromUtf16(reinterpret_cast<const char16_t*>(message), used);
    }
    if (description.isEmpty())
        description = fallback;
    return DbError(description, state, native);
}

void check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, const char* what) {
    if (!SQL_SUCCEEDED(rc))
        throw diagnose(type, handle, QString::fromLatin1(what));
}

SQLHENV environment() {
    static SQLHENV env = [] {
        SQLHENV h = SQL_NULL_HENV;
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &h)))
            return SQLHENV(SQL_NULL_HENV);
        SQLSetEnvAttr(h, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        return h;
    }();
    if (env == SQL_NULL_HENV)
        throw DbError("The ODBC driver manager could not be started.");
    return env;
}

} // namespace detail

namespace {

using detail::check;
using detail::diagnose;
using detail::environment;
using detail::wide;

// Parameter buffers must outlive SQLExecute.
struct BoundParams {
    std::vector<QByteArray> texts;
    std::vector<SQLBIGINT> numbers;
    std::vector<SQLLEN> lengths;
};

void bindParams(SQLHSTMT stmt, const Params& params, BoundParams& bound) {
    bound.texts.resize(params.size());
    bound.numbers.resize(params.size());
    bound.lengths.resize(params.size());
    for (int i = 0; i < params.size(); ++i) {
        const QVariant& v = params[i];
        SQLUSMALLINT n = SQLUSMALLINT(i + 1);
        SQLRETURN rc;
        const int type = v.typeId();
        if (v.isNull() && type != QMetaType::QString) {
            bound.lengths[i] = SQL_NULL_DATA;
            rc = SQLBindParameter(stmt, n, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR, 1, 0,
                                  nullptr, 0, &bound.lengths[i]);
        } else if (type == QMetaType::Int || type == QMetaType::LongLong ||
                   type == QMetaType::UInt || type == QMetaType::Bool) {
            bound.numbers[i] = v.toLongLong();
            bound.lengths[i] = 0;
            rc = SQLBindParameter(stmt, n, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0,
                                  &bound.numbers[i], 0, &bound.lengths[i]);
        } else {
            QString text =
                type == QMetaType::QDate ? v.toDate().toString("yyyy-MM-dd") : v.toString();
            // UTF-8 bytes of exact length: the connection's character set. Wide binding
            // let the driver append a NUL to some texts.
            bound.texts[i] = text.toUtf8();
            SQLLEN bytes = SQLLEN(bound.texts[i].size());
            bound.lengths[i] = bytes;
            SQLULEN size = qMax<SQLULEN>(1, SQLULEN(bytes));
            SQLSMALLINT sqlType = size > 8000 ? SQL_LONGVARCHAR : SQL_VARCHAR;
            rc = SQLBindParameter(stmt, n, SQL_PARAM_INPUT, SQL_C_CHAR, sqlType, size, 0,
                                  bound.texts[i].data(), bytes, &bound.lengths[i]);
        }
        check(rc, SQL_HANDLE_STMT, stmt, "Binding a parameter failed.");
    }
}

SQLHSTMT run(SQLHDBC dbc, const QString& sql, const Params& params) {
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    check(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt), SQL_HANDLE_DBC, dbc,
          "A statement could not be prepared.");
    try {
        BoundParams bound;
        bindParams(stmt, params, bound);
        SQLRETURN rc = SQLExecDirectW(stmt, const_cast<SQLWCHAR*>(wide(sql)), SQL_NTS);
        if (rc != SQL_NO_DATA)
            check(rc, SQL_HANDLE_STMT, stmt, "The statement failed.");
        SQLFreeStmt(stmt, SQL_RESET_PARAMS);
    } catch (...) {
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        throw;
    }
    return stmt;
}

} // namespace

DbError::DbError(const QString& description, const QString& sqlState, int nativeError)
    : std::runtime_error(description.toStdString()), description_(description), sqlState_(sqlState),
      nativeError_(nativeError) {}

bool DbError::connectionLost() const {
    return sqlState_ == "08S01" || sqlState_ == "08003" || sqlState_ == "08007" ||
           nativeError_ == 2006 || nativeError_ == 2013 || nativeError_ == 2055;
}

// ---- Connection ----

struct Connection::Impl {
    SQLHDBC dbc = SQL_NULL_HDBC;
    bool open = false;
    bool transaction = false;
    // The link broke and could not be reopened then: the next action tries again.
    bool lost = false;
    int timeout = 120;
    QString text;
    Connection::OpenWait openWait;
    // An open is running, maybe on another thread: the handle is not ours to touch.
    bool opening = false;

    ~Impl() { disconnect(); }
    void refuseWhileOpening() const {
        if (opening)
            throw DbError("The connection to the server is still being opened.", "08003");
    }
    void disconnect() {
        if (dbc != SQL_NULL_HDBC) {
            if (open)
                SQLDisconnect(dbc);
            SQLFreeHandle(SQL_HANDLE_DBC, dbc);
            dbc = SQL_NULL_HDBC;
        }
        open = false;
        transaction = false;
    }
    void connect() {
        refuseWhileOpening();
        disconnect();
        if (!openWait) {
            attach();
            return;
        }
        std::exception_ptr failure;
        opening = true;
        try {
            openWait([this, &failure] {
                try {
                    attach();
                } catch (...) {
                    failure = std::current_exception();
                }
            });
        } catch (...) {
            opening = false;
            throw;
        }
        opening = false;
        if (failure)
            std::rethrow_exception(failure);
    }
    void attach() {
        check(SQLAllocHandle(SQL_HANDLE_DBC, environment(), &dbc), SQL_HANDLE_ENV, environment(),
              "A connection could not be created.");
        SQLSetConnectAttr(dbc, SQL_ATTR_LOGIN_TIMEOUT,
                          reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeout)), 0);
        SQLWCHAR out[1024];
        SQLSMALLINT outLength = 0;
        SQLRETURN rc = SQLDriverConnectW(dbc, nullptr, const_cast<SQLWCHAR*>(wide(text)), SQL_NTS,
                                         out, 1024, &outLength, SQL_DRIVER_NOPROMPT);
        if (!SQL_SUCCEEDED(rc)) {
            DbError error = diagnose(SQL_HANDLE_DBC, dbc, "Connecting to the server failed.");
            disconnect();
            throw error;
        }
        open = true;
        lost = false;
    }
};

Connection::Connection() : d(std::make_unique<Impl>()) {}
Connection::~Connection() = default;

void Connection::setTimeout(int seconds) {
    d->timeout = seconds;
}

void Connection::setOpenWait(OpenWait wait) {
    d->openWait = std::move(wait);
}

void Connection::open(const QString& connectionText) {
    d->refuseWhileOpening();
    d->text = connectionText;
    d->connect();
}

bool Connection::isOpen() const {
    return !d->opening && d->open;
}
const QString& Connection::connectionText() const {
    return d->text;
}
void Connection::close() {
    d->refuseWhileOpening();
    d->disconnect();
    d->lost = false;
}

// A lost link is reopened once with the same text; inside a transaction the work is
// lost anyway, so the error is reported after reopening for the next action. When the
// server is still away the connection stays closed, and the next action reopens it first,
// so a server restart never needs a program restart.
template <class F> auto Connection::withReconnect(F&& run) -> decltype(run()) {
    d->refuseWhileOpening();
    bool reopened = false;
    if (!d->open) {
        if (!d->lost || d->text.isEmpty())
            throw DbError("The connection to the server is not open.", "08003");
        d->connect(); // the driver's own text when the server is still away
        reopened = true;
    }
    try {
        return run();
    } catch (const DbError& error) {
        if (reopened || !error.connectionLost() || d->text.isEmpty())
            throw;
        const bool wasInTransaction = d->transaction;
        try {
            d->connect();
        } catch (const DbError&) {
            d->lost = true;
            throw error;
        }
        if (wasInTransaction)
            throw;
        return run();
    }
}

Recordset Connection::query(const QString& sql, const Params& params) {
    return withReconnect([&] {
        Recordset rs;
        rs.d->stmt = run(d->dbc, sql, params);
        rs.d->describe();
        rs.d->fetch();
        rs.d->empty = rs.d->eof;
        return rs;
    });
}

qint64 Connection::execute(const QString& sql, const Params& params) {
    return withReconnect([&] {
        SQLHSTMT stmt = run(d->dbc, sql, params);
        SQLLEN rows = 0;
        SQLRowCount(stmt, &rows);
        SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        return qint64(rows);
    });
}

qint64 Connection::executeMany(const QString& sql, const std::vector<Params>& rows) {
    return withReconnect([&] { return detail::runArray(d->dbc, sql, rows); });
}

void Connection::begin() {
    withReconnect([&] {
        check(SQLSetConnectAttr(d->dbc, SQL_ATTR_AUTOCOMMIT,
                                reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0),
              SQL_HANDLE_DBC, d->dbc, "A transaction could not be started.");
        d->transaction = true;
        return 0;
    });
}

static void endTransaction(SQLHDBC dbc, SQLSMALLINT how, bool& transaction) {
    transaction = false;
    SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, dbc, how);
    DbError* failure = nullptr;
    DbError error("");
    if (!SQL_SUCCEEDED(rc)) {
        error = diagnose(SQL_HANDLE_DBC, dbc, "Ending the transaction failed.");
        failure = &error;
    }
    SQLSetConnectAttr(dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
    if (failure)
        throw *failure;
}

void Connection::commit() {
    d->refuseWhileOpening();
    if (!d->open)
        throw DbError("The connection to the server is not open.", "08003");
    endTransaction(d->dbc, SQL_COMMIT, d->transaction);
}

void Connection::rollback() {
    if (d->opening || !d->open)
        return;
    try {
        endTransaction(d->dbc, SQL_ROLLBACK, d->transaction);
    } catch (const DbError& error) {
        // A broken link has rolled back on the server already; reopen for the next action.
        if (error.connectionLost() && !d->text.isEmpty()) {
            try {
                d->connect();
            } catch (const DbError&) {
                d->lost = true;
            }
        }
    }
}

bool Connection::inTransaction() const {
    return d->transaction;
}

Transaction::Transaction(Connection& connection) : connection_(connection) {
    connection_.begin();
}

Transaction::~Transaction() {
    if (!done_)
        connection_.rollback();
}

void Transaction::commit() {
    connection_.commit();
    done_ = true;
}

} // namespace orvane
