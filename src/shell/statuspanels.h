#pragma once

#include <QStatusBar>

#include <array>
#include <functional>

class QLabel;

// The main window's status bar: four panels side by side, 80, 150, 180 and 50
// pixels wide, the last reaching to the right end. Its owner draws panel 0;
// panels 1 to 3 show texts, which assistive technology reads as their names.
class StatusPanels : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int BarHeight = 28;
    static constexpr int PanelCount = 4;
    using DrawPanel = std::function<void(QPainter &painter, const QRect &rect)>;

    explicit StatusPanels(QWidget *parent = nullptr);

    // Paints panel 0 into the rectangle inside its frame.
    void setDrawPanel(DrawPanel draw);
    // What panel 0 shows, in words, for assistive technology.
    void setPictureDescription(const QString &text);

    QString panelText(int index) const;
    void setPanelText(int index, const QString &text);
    QWidget *panel(int index) const { return m_panels[index]; }

    // Repaints every panel.
    void redraw();

private:
    std::array<QWidget *, PanelCount> m_panels{};
};
