#include "chartnavigationbar.h"

#include "common/kelvoraerror.h"
#include "datachart.h"
#include "output/selectedprinter.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QToolButton>

namespace {

constexpr double zoomInPercent = 120.0;
constexpr double zoomOutPercent = 80.0;

} // namespace

ChartNavigationBar::ChartNavigationBar(DataChart *chart, const ChartNavigationConfig &config, QWidget *parent)
    : QWidget(parent), m_chart(chart), m_config(config)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    m_print = addButton(config.printName, QStringLiteral("Print Graph"));
    m_zoomIn = addButton(config.zoomInName, QStringLiteral("Zoom In"));
    m_zoomOut = addButton(config.zoomOutName, QStringLiteral("Zoom Out"));
    m_reset = addButton(config.resetName, config.resetCaption);
    connect(m_print, &QPushButton::clicked, this, &ChartNavigationBar::printGraphClick);
    connect(m_zoomIn, &QPushButton::clicked, this, &ChartNavigationBar::zoomInClick);
    connect(m_zoomOut, &QPushButton::clicked, this, &ChartNavigationBar::zoomOutClick);
    connect(m_reset, &QPushButton::clicked, this, &ChartNavigationBar::resetClick);

    struct Arrow {
        Qt::ArrowType type;
        const char *name;
        void (ChartNavigationBar::*click)();
    };
    const Arrow arrows[] = {{Qt::LeftArrow, "Left", &ChartNavigationBar::SpeedButton1Click},
                            {Qt::DownArrow, "Down", &ChartNavigationBar::SpeedButton2Click},
                            {Qt::UpArrow, "Up", &ChartNavigationBar::SpeedButton3Click},
                            {Qt::RightArrow, "Right", &ChartNavigationBar::SpeedButton4Click}};
    for (int i = 0; i < 4; ++i) {
        auto *button = new QToolButton(this);
        button->setObjectName(QStringLiteral("SpeedButton%1").arg(i + 1));
        button->setArrowType(arrows[i].type);
        button->setAccessibleName(QLatin1String(arrows[i].name));
        connect(button, &QToolButton::clicked, this, arrows[i].click);
        layout->addWidget(button);
        m_arrows[i] = button;
    }
    layout->addStretch();

    m_reset->setEnabled(config.resetEnabledAtOpening);
    m_print->setEnabled(config.printEnabledAtOpening);
}

void ChartNavigationBar::addWidget(QWidget *widget)
{
    // Before the stretch that closes the row.
    auto *row = static_cast<QHBoxLayout *>(layout());
    row->insertWidget(row->count() - 1, widget);
}

QPushButton *ChartNavigationBar::addButton(const QString &name, const QString &caption)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(name);
    layout()->addWidget(button);
    return button;
}

void ChartNavigationBar::zoomInClick()
{
    if (m_chart)
        m_chart->zoomPercent(zoomInPercent);
    m_reset->setEnabled(true);
}

void ChartNavigationBar::zoomOutClick()
{
    if (m_chart)
        m_chart->zoomPercent(zoomOutPercent);
    m_reset->setEnabled(true);
}

void ChartNavigationBar::resetClick()
{
    if (m_chart)
        m_chart->undoZoom();
    m_reset->setEnabled(false);
}

void ChartNavigationBar::printGraphClick()
{
    if (!m_chart)
        return;
    guardedHandler([this] {
        m_chart->setPrintProportional(false);
        m_chart->setPrintMargins(PrintMargins{5, 4, 4, 5});
        const QPointer<ChartNavigationBar> self(this);
        // The file dialog waits for the user; the window may be closed meanwhile.
        if (!SelectedPrinter::chooseOutput(QStringLiteral("Print Graph"),
                                           m_chart->objectName() + QStringLiteral(".pdf")) ||
            !self || !m_chart)
            return;
        m_chart->print(SelectedPrinter::printer());
    });
}

void ChartNavigationBar::HorizScroll(double percent)
{
    ScrollAxis(ChartAxis::Top, percent);
    ScrollAxis(ChartAxis::Bottom, percent);
    scrolled();
}

void ChartNavigationBar::VertScroll(double percent)
{
    ScrollAxis(ChartAxis::Left, percent);
    ScrollAxis(ChartAxis::Right, percent);
    scrolled();
}

void ChartNavigationBar::ScrollAxis(ChartAxis axis, double percent)
{
    if (!m_chart)
        return;
    const AxisRange r = scrolledRange(m_chart->axisRange(axis), percent);
    m_chart->setAxisRange(axis, r.minimum, r.maximum);
}

void ChartNavigationBar::scrolled()
{
    if (m_config.scrollingEnablesReset)
        m_reset->setEnabled(true);
}
