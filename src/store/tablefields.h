#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The fields of a table as an export sees them: in an order of their own
// (the table's column order until something moves them), each with the text
// shown as its title and whether it is shown at all. Names are not
// case-sensitive.
struct TableField {
    QString name;
    QString displayLabel;
    bool visible = true;
};

class TableFields {
public:
    explicit TableFields(const QStringList &names);

    int count() const { return static_cast<int>(m_fields.size()); }
    const TableField &at(int index) const { return m_fields.at(index); }
    // Position of the field named name, or -1.
    int indexOf(const QString &name) const;
    // Moves the field named name to position index; the fields between
    // shift by one. Throws KelvoraError "Field '<name>' not found".
    void setIndex(const QString &name, int index);
    void setDisplayLabel(const QString &name, const QString &label);
    void setVisible(const QString &name, bool visible);

private:
    int require(const QString &name) const;

    QVector<TableField> m_fields;
};
