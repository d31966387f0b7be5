#pragma once
// The rows of the workstation list and of the cross-unit report for given filters. The
// screens only lay them out; the headless report reads the same rows.
#include "app/Session.h"
#include "lists/ActivationQuery.h"

#include <optional>
#include <vector>

namespace orvane {

struct ActivationRecord {
    QString unitCode, sysId, ip, os, user, dept, remarks;
    QString expDate; // as stored ("yyyy-mm-dd"); empty when NULL
};

// One unit's run of report rows. No name when the unit master lacks the unit.
struct ActivationGroup {
    QString unitCode;
    std::optional<QString> unitName;
    std::vector<ActivationRecord> records;
};

class ActivationRows {
  public:
    explicit ActivationRows(Connection& connection = Session().SharedConnection())
        : connection_(connection) {}

    // The records of one unit in serial order. Database errors reach the caller as DbError.
    std::vector<ActivationRecord> List(const QString& searchText, const QString& unitCode);
    // The report's records grouped by unit, in the report's order, each group with its name.
    std::vector<ActivationGroup> Report(const ReportFilter& filter);

    // The same reads as jobs for the data worker, with the filters as they are now. The list's
    // records come as the one group of its unit.
    static DbJob<std::vector<ActivationGroup>> ListJob(const QString& searchText,
                                                       const QString& unitCode);
    static DbJob<std::vector<ActivationGroup>> ReportJob(const ReportFilter& filter);

  private:
    std::vector<ActivationRecord> read(const Statement& st);
    Connection& connection_;
};

} // namespace orvane
