#include "pictures.h"

#include "picturedrawing.h"

#include <QApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>

#include <utility>

namespace {

using Draw = void (*)(QPainter &);

// A picture drawn in units x units, rendered when a size of it is first
// asked for, and kept: only the sizes a window shows are ever drawn, and not
// before they are shown. Disabled and selected variants come from the style,
// as they do for pictures made of pixmaps.
class DrawnIconEngine final : public QIconEngine {
public:
    DrawnIconEngine(Draw draw, int units, QList<QSize> sizes)
        : m_draw(draw), m_units(units), m_sizes(std::move(sizes))
    {
    }

    QIconEngine *clone() const override { return new DrawnIconEngine(*this); }
    QString key() const override { return QStringLiteral("DrawnIconEngine"); }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return m_sizes; }
    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int side = qMin(size.width(), size.height());
        return QSize(side, side);
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        painter->drawPixmap(rect, pixmap(rect.size() * ratio, mode, state));
    }

    // size in device pixels
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State) override
    {
        const int side = qMin(size.width(), size.height());
        if (side <= 0)
            return QPixmap();
        const quint64 cacheKey = quint64(side) << 8 | quint64(mode);
        if (const auto cached = m_cache.constFind(cacheKey); cached != m_cache.constEnd())
            return *cached;
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(qreal(side) / m_units, qreal(side) / m_units);
        m_draw(painter);
        painter.end();
        if (mode != QIcon::Normal && qobject_cast<QApplication *>(QCoreApplication::instance())) {
            QStyleOption option;
            option.palette = QGuiApplication::palette();
            pixmap = QApplication::style()->generatedIconPixmap(mode, pixmap, &option);
        }
        m_cache.insert(cacheKey, pixmap);
        return pixmap;
    }

private:
    Draw m_draw;
    int m_units;
    QList<QSize> m_sizes;
    QHash<quint64, QPixmap> m_cache;
};

QIcon render(Draw draw, int units, std::initializer_list<int> sizes)
{
    QList<QSize> available;
    for (int size : sizes)
        available << QSize(size, size);
    return QIcon(new DrawnIconEngine(draw, units, available));
}

} // namespace

QIcon toolPicture(ToolPicture picture)
{
    using namespace PictureDrawing;
    static const Draw draws[] = {measure, filmReel,     openFolder,   diskette,      spreadsheet,
                                 printer, controlPanel, helpDocument, aboutComputer, powerSwitch};
    // Offered at half size for the menus too.
    return render(draws[static_cast<int>(picture)], ToolPictureSize, {ToolPictureSize / 2, ToolPictureSize});
}

QIcon statusPicture(StatusPicture picture)
{
    const Draw draw =
        picture == StatusPicture::Thermometer ? PictureDrawing::thermometer : PictureDrawing::computer;
    return render(draw, StatusPictureSize, {StatusPictureSize});
}

QIcon programIcon()
{
    return render(PictureDrawing::thermometer, StatusPictureSize, {16, 32, 48, 64});
}
