#pragma once
// The statements of the antivirus master: the product list, the duplicate-name checks,
// and the insert (with the counter advance) and the update, each in one transaction.
#include "antivirus/CodeCounter.h"
#include "platform/Database.h"

#include <QString>
#include <QVector>

namespace orvane {

struct AntivirusRow {
    QString code;
    QString name;
    QString purchaseKey;
    QString installKey;
};

class AntivirusRegister {
  public:
    static inline const QString CounterKey = QStringLiteral("AV_NO");

    // On the session's shared connection.
    AntivirusRegister();
    explicit AntivirusRegister(Connection& db);

    // Every product in code order; NULL columns read as empty text.
    QVector<AntivirusRow> Rows();

    // A new product's name is taken when any product carries it, blanks around either
    // name disregarded (new names are stored trimmed).
    bool NameExists(const QString& typedName);
    // An edited name is taken by another product: one whose name differs from the name
    // the edit started from and equals the new one (both trimmed).
    bool NameTakenByOther(const QString& editName, const QString& typedName);

    // Stores a new product under the code shown (or under the counter's current code when
    // that has moved on) and advances the counter, in one transaction. Name and keys are
    // stored trimmed. Throws DbError after rolling back.
    NewRecordSave InsertNew(const QString& shownCode, const QString& name,
                            const QString& purchaseKey, const QString& installKey,
                            const QString& userId);

    // Rewrites the product with this code (trimmed): the name as typed, the keys trimmed.
    // Returns the rows matched (0: no product has the code). Throws DbError after rolling back.
    qint64 UpdateExisting(const QString& code, const QString& name, const QString& purchaseKey,
                          const QString& installKey, const QString& userId);

  private:
    Connection* db_;
};

} // namespace orvane
