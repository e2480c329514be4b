#include "store/tablefields.h"

#include "common/kelvoraerror.h"

TableFields::TableFields(const QStringList &names)
{
    for (const QString &name : names)
        m_fields.append({name, name, true});
}

int TableFields::indexOf(const QString &name) const
{
    for (int i = 0; i < count(); ++i)
        if (m_fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int TableFields::require(const QString &name) const
{
    const int i = indexOf(name);
    if (i < 0)
        throw KelvoraError(QStringLiteral("Field '%1' not found").arg(name));
    return i;
}

void TableFields::setIndex(const QString &name, int index)
{
    const int from = require(name);
    m_fields.move(from, qBound(0, index, count() - 1));
}

void TableFields::setDisplayLabel(const QString &name, const QString &label)
{
    m_fields[require(name)].displayLabel = label;
}

void TableFields::setVisible(const QString &name, bool visible)
{
    m_fields[require(name)].visible = visible;
}
