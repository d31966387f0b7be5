#include "antivirus/SaveJobs.h"

#include "platform/Retry.h"

namespace orvane {

DbJob<NewEntryOutcome> NewWorkstationJob(const QString& unitCode, const QString& shownCode,
                                         const SystemRecord& typed, const QString& userId) {
    return [unitCode, shownCode, typed, userId](Connection& c) {
        LimitSaveLockWait(c);
        return SaveNewWorkstation(c, unitCode, shownCode, typed, userId);
    };
}

DbJob<qint64> EditedWorkstationJob(const QString& unitCode, const QString& sysId,
                                   const SystemRecord& typed, const QString& userId) {
    return [unitCode, sysId, typed, userId](Connection& c) {
        LimitSaveLockWait(c);
        return ActivationRegister(c).UpdateExisting(unitCode, sysId, typed, userId);
    };
}

DbJob<NewEntryOutcome> NewProductJob(const QString& shownCode, const AntivirusRow& typed,
                                     const QString& userId) {
    return [shownCode, typed, userId](Connection& c) {
        LimitSaveLockWait(c);
        return SaveNewProduct(c, shownCode, typed, userId);
    };
}

DbJob<qint64> EditedProductJob(const QString& editName, const AntivirusRow& typed,
                               const QString& userId) {
    return [editName, typed, userId](Connection& c) -> qint64 {
        AntivirusRegister products(c);
        if (products.NameTakenByOther(editName, typed.name))
            return ProductNameTaken;
        LimitSaveLockWait(c);
        return products.UpdateExisting(typed.code, typed.name, typed.purchaseKey, typed.installKey,
                                       userId);
    };
}

} // namespace orvane
