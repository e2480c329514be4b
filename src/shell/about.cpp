#include "about.h"

#include "common/kelvoraerror.h"
#include "devicelink/systemvars.h"
#include "jpegdecoder.h"
#include "shell/logic/aboutlines.h"

#include <QCloseEvent>
#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPushButton>

namespace {

constexpr int PanelWidth = 145;

QByteArray aboutPicture()
{
    QFile file(QStringLiteral(":/aboutpicture.jpg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The glyph of the OK button: a green tick.
QIcon tick()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(QColor(0, 128, 0), 2.6);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    p.setPen(pen);
    p.drawPolyline(QPolygonF{{2.5, 8.5}, {6.5, 12.5}, {13.5, 3.5}});
    return QIcon(pixmap);
}

QLabel *label(const char *name, const QString &text, QPoint place, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->move(place);
    return l;
}

} // namespace

void PictureBox::setJpeg(const QByteArray &data)
{
    m_picture = decodeJpeg(data);
    update();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), m_picture);
}

TForm3::TForm3(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("About Kelvora"));
    // Only a close box in the frame.
    setWindowFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(13);
    setFont(font);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Image1 = new PictureBox(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAccessibleName(
        QStringLiteral("An infrared thermometer aiming its laser at a notebook computer"));
    Image1->setJpeg(aboutPicture());

    Label5 = label("Label5", QStringLiteral("Kelvora"), {176, 16}, this);
    QFont title(QStringLiteral("Arial Black"));
    title.setPixelSize(21);
    title.setBold(true);
    Label5->setFont(title);
    Label7 = label("Label7", QStringLiteral("Version:  1.02 (Build 07.1016)"), {176, 56}, this);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    Bevel1->setGeometry(152, 129, 377, 2);

    Label1 = label("Label1", QString(), {176, 144}, this);
    Label2 = label("Label2", QString(), {176, 184}, this);

    BitBtn1 = new QPushButton(tick(), QStringLiteral("&OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(300, 248, 73, 25);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { guardedHandler([this] { BitBtn1Click(); }); });

    FormCreate();
}

void TForm3::FormCreate()
{
    Label2->setText(AboutLines::memoryLine(AboutLines::totalPhysicalMemory()));
    if (const std::optional<QString> system = AboutLines::operatingSystemLine(AboutLines::currentOsVersion()))
        Label1->setText(*system);
    for (QLabel *l : {Label5, Label7, Label1, Label2})
        l->adjustSize();
}

void TForm3::BitBtn1Click()
{
    SystemVars.aboutMenuEnabled = true;
    deleteLater();
}

void TForm3::FormClose()
{
    SystemVars.aboutMenuEnabled = true;
}

void TForm3::closeEvent(QCloseEvent *event)
{
    guardedHandler([this] { FormClose(); });
    event->accept();
}

void TForm3::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: BitBtn1->click(); break;
    case Qt::Key_Escape:
        if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()))
            frame->close();
        else
            close();
        break;
    default: QWidget::keyPressEvent(event);
    }
}

void TForm3::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // Full height at the left edge; the picture inside the bevel.
    Panel1->setGeometry(0, 0, PanelWidth, height());
    Image1->setGeometry(Panel1->contentsRect());
}
