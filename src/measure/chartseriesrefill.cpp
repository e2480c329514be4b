#include "measure/chartseriesrefill.h"

#include "measure/datachart.h"

void ChartSeriesRefill::apply()
{
    m_chart->setSeriesData(m_series, m_values);
}
