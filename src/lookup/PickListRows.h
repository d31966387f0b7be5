#pragma once
// What a pick-list shows: the rows of its look-up, read once, each as the texts of its fields.
#include "platform/Database.h"

#include <QStringList>
#include <vector>

namespace orvane {

struct PickListRows {
    int fieldCount = 0;
    std::vector<QStringList> rows;
};

// Runs the look-up on the connection; a database error reaches the caller as DbError.
PickListRows ReadPickListRows(Connection& connection, const Statement& lookup);
// The same look-up as a job for the data worker.
DbJob<PickListRows> PickListJob(const Statement& lookup);

} // namespace orvane
