#include "output/logic/tablewalk.h"

#include "common/kelvoraerror.h"
#include "store/measuretable.h"

TableWalk::TableWalk(MeasureTable &table) : m_table(table), m_bookmark(table.cursor())
{
    m_table.disableControls();
    m_table.first();
}

TableWalk::~TableWalk()
{
    try {
        m_table.first();
        for (int i = 0; i < m_bookmark && !m_table.eof(); ++i)
            m_table.next();
    } catch (const KelvoraError &) {
        // A table closed meanwhile has no row to return to.
    }
    m_table.enableControls();
}
