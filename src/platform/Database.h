#pragma once
// Thin RAII wrapper over the unixODBC C API: one connection, forward-only result sets,
// bound parameters and transactions. Every failure throws DbError with the driver's text.
#include <QString>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace orvane {

class DbError : public std::runtime_error {
  public:
    DbError(const QString& description, const QString& sqlState = QString(), int nativeError = 0);
    // The driver's own description: the text a failed save shows.
    const QString& description() const { return description_; }
    const QString& sqlState() const { return sqlState_; }
    int nativeError() const { return nativeError_; }
    // The server went away or the link broke.
    bool connectionLost() const;

  private:
    QString description_;
    QString sqlState_;
    int nativeError_;
};

using Params = QVariantList;

// A statement with its bound values, as data classes hand them to the connection.
struct Statement {
    QString sql;
    Params params;
};

class Recordset {
  public:
    Recordset();
    ~Recordset();
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;

    bool eof() const;
    // True when the result holds no row at all.
    bool bof() const;
    bool isEmpty() const { return bof(); }
    int fieldCount() const;
    QString fieldName(int index) const;
    // Column index by case-insensitive name; -1 when absent.
    int fieldIndex(const QString& name) const;
    // NULL reads as empty text. Throws DbError for an unknown field.
    QString field(const QString& name) const;
    QString field(int index) const;
    bool isNull(const QString& name) const;
    bool isNull(int index) const;
    void moveNext();
    void close();

  private:
    friend class Connection;
    struct Impl;
    std::unique_ptr<Impl> d;
};

class Connection {
  public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Login time-out in seconds, used by open().
    void setTimeout(int seconds);
    // Runs the blocking part of an open (and of a reopen after a lost link). By default it runs
    // where it is called; a window's connection runs it on another thread and keeps the window
    // answering until it ends. `open` throws nothing. Until it ends, any other use of the
    // connection is refused with a DbError rather than touching half-made handles.
    using OpenWait = std::function<void(const std::function<void()>& open)>;
    void setOpenWait(OpenWait wait);
    void open(const QString& connectionText);
    bool isOpen() const;
    const QString& connectionText() const;
    void close();

    Recordset query(const QString& sql, const Params& params = {});
    // Rows affected.
    qint64 execute(const QString& sql, const Params& params = {});
    // Runs `sql` once for each row of values, all in one exchange with the server (every row
    // has the same number of values); rows affected.
    qint64 executeMany(const QString& sql, const std::vector<Params>& rows);

    void begin();
    void commit();
    void rollback();
    bool inTransaction() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> d;
    template <class F> auto withReconnect(F&& run) -> decltype(run());
};

// Database work handed to a thread that owns a connection: its inputs captured by value, its
// statements run on the connection it is given.
template <class R> using DbJob = std::function<R(Connection&)>;

// Rolls back unless committed.
class Transaction {
  public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    void commit();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

  private:
    Connection& connection_;
    bool done_ = false;
};

} // namespace orvane
