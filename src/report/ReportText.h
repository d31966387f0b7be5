#pragma once
// The headless report's text forms: CSV for other programs, an aligned table for a terminal.
#include "lists/ActivationRows.h"

#include <QDate>
#include <QString>
#include <vector>

namespace orvane::report {

// UTF-8 CSV (RFC 4180): a header line, then one line per workstation with its unit name.
QByteArray ReportCsv(const std::vector<ActivationGroup>& groups, const QDate& today);
// Per unit its name, then its workstations in aligned columns; days remaining are negative
// once the protection has expired.
QString ReportTable(const std::vector<ActivationGroup>& groups, const QDate& today);

} // namespace orvane::report
