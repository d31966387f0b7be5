#include "platform/OdbcDetail.h"

#include <algorithm>

namespace orvane {

Recordset::Recordset() : d(std::make_unique<Impl>()) {}
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

bool Recordset::eof() const {
    return d->eof;
}
bool Recordset::bof() const {
    return d->empty;
}
int Recordset::fieldCount() const {
    return d->names.size();
}
QString Recordset::fieldName(int index) const {
    return d->names.value(index);
}

int Recordset::fieldIndex(const QString& name) const {
    for (int i = 0; i < d->names.size(); ++i)
        if (d->names[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

static int requireIndex(const Recordset& rs, const QString& name) {
    int index = rs.fieldIndex(name);
    if (index < 0)
        throw DbError(QString("Item cannot be found in the collection: %1").arg(name));
    return index;
}

QString Recordset::field(const QString& name) const {
    return field(requireIndex(*this, name));
}

QString Recordset::field(int index) const {
    if (d->eof || index < 0 || index >= d->values.size())
        throw DbError("Either BOF or EOF is True, or the current record has been deleted.");
    return d->value(index);
}

bool Recordset::isNull(const QString& name) const {
    return isNull(requireIndex(*this, name));
}

bool Recordset::isNull(int index) const {
    if (d->eof || index < 0 || index >= d->nulls.size())
        return true;
    return d->nulls[index];
}

void Recordset::moveNext() {
    if (d->eof)
        throw DbError("Either BOF or EOF is True, or the current record has been deleted.");
    d->fetch();
}

void Recordset::close() {
    d->release();
    d->eof = true;
}

} // namespace orvane
