#include "statuspanels.h"

#include <QLabel>
#include <QPainter>

namespace {

constexpr int PanelWidths[StatusPanels::PanelCount] = {80, 150, 180, 50};

void framePanel(QFrame *panel)
{
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(1);
}

// Panel 0: a frame whose inside the status bar's owner paints.
class DrawnPanel final : public QFrame {
public:
    using QFrame::QFrame;

    StatusPanels::DrawPanel draw;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QFrame::paintEvent(event);
        if (!draw)
            return;
        QPainter painter(this);
        draw(painter, contentsRect());
    }
};

} // namespace

StatusPanels::StatusPanels(QWidget *parent) : QStatusBar(parent)
{
    setFixedHeight(BarHeight);
    for (int i = 0; i < PanelCount; ++i) {
        QFrame *panel;
        if (i == 0) {
            panel = new DrawnPanel(this);
        } else {
            auto *label = new QLabel(this);
            label->setIndent(3);
            label->setTextFormat(Qt::PlainText);
            panel = label;
        }
        panel->setObjectName(QStringLiteral("Panel%1").arg(i));
        framePanel(panel);
        const bool last = i == PanelCount - 1;
        if (last)
            panel->setMinimumWidth(PanelWidths[i]);
        else
            panel->setFixedWidth(PanelWidths[i]);
        addWidget(panel, last ? 1 : 0);
        m_panels[i] = panel;
    }
}

void StatusPanels::setDrawPanel(DrawPanel draw)
{
    static_cast<DrawnPanel *>(m_panels[0])->draw = std::move(draw);
}

void StatusPanels::setPictureDescription(const QString &text)
{
    m_panels[0]->setAccessibleName(text);
}

QString StatusPanels::panelText(int index) const
{
    auto *label = qobject_cast<QLabel *>(m_panels[index]);
    return label ? label->text() : QString();
}

void StatusPanels::setPanelText(int index, const QString &text)
{
    if (auto *label = qobject_cast<QLabel *>(m_panels[index]))
        label->setText(text);
}

void StatusPanels::redraw()
{
    for (QWidget *panel : m_panels)
        panel->update();
}
