#include "antivirus/NewEntrySave.h"

namespace orvane {

namespace {

NewEntryOutcome stored(const NewRecordSave& save) {
    NewEntryOutcome outcome;
    if (!save.saved)
        return outcome; // NoCode
    outcome.result = NewEntryOutcome::Result::Saved;
    outcome.code = save.code;
    outcome.codeMoved = save.codeMoved;
    return outcome;
}

NewEntryOutcome failed(const DbError& error) {
    NewEntryOutcome outcome;
    outcome.result = NewEntryOutcome::Result::Failed;
    outcome.error = error;
    return outcome;
}

} // namespace

NewEntryOutcome SaveNewWorkstation(Connection& db, const QString& unitCode,
                                   const QString& shownCode, const SystemRecord& typed,
                                   const QString& userId) {
    try {
        return stored(ActivationRegister(db).InsertNew(unitCode, shownCode, typed, userId));
    } catch (const DbError& error) {
        return failed(error);
    }
}

NewEntryOutcome SaveNewProduct(Connection& db, const QString& shownCode, const AntivirusRow& typed,
                               const QString& userId) {
    try {
        AntivirusRegister products(db);
        if (products.NameExists(typed.name)) {
            NewEntryOutcome taken;
            taken.result = NewEntryOutcome::Result::NameTaken;
            return taken;
        }
        return stored(
            products.InsertNew(shownCode, typed.name, typed.purchaseKey, typed.installKey, userId));
    } catch (const DbError& error) {
        return failed(error);
    }
}

} // namespace orvane
