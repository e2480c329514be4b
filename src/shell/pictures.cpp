#include "pictures.h"

#include "picturedrawing.h"

#include <QPixmap>

namespace {

using Draw = void (*)(QPainter &);

// A picture drawn in units x units, rendered at size x size pixels for each
// device pixel ratio the program meets.
QIcon render(Draw draw, int units, std::initializer_list<int> sizes)
{
    QIcon icon;
    for (int size : sizes) {
        for (qreal ratio : {1.0, 2.0}) {
            QPixmap pixmap(QSize(size, size) * ratio);
            pixmap.setDevicePixelRatio(ratio);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.scale(qreal(size) / units, qreal(size) / units);
            draw(painter);
            painter.end();
            icon.addPixmap(pixmap);
        }
    }
    return icon;
}

} // namespace

QIcon toolPicture(ToolPicture picture)
{
    using namespace PictureDrawing;
    static const Draw draws[] = {measure, filmReel,     openFolder,   diskette,      spreadsheet,
                                 printer, controlPanel, helpDocument, aboutComputer, powerSwitch};
    // Also drawn at half size for the menus.
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
