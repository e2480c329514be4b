#pragma once

#include <QImage>
#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;

// A picture drawn at its own size from the top left corner, cut off at
// the widget's edges. A picture that cannot be decoded leaves it empty.
class PictureBox final : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    void setJpeg(const QByteArray &data);
    QImage picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_picture;
};

// The About window: the program's name and version, the operating system
// and the size of the memory, beside a picture. Closing it, by "&OK" or by
// its close box, lets the main window offer "&About" again. Enter presses
// OK wherever the focus is inside; Escape closes it like the close box.
class TForm3 final : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(QWidget *parent = nullptr);

    void BitBtn1Click();
    void FormClose();

    QFrame *Panel1;
    PictureBox *Image1;
    QLabel *Label5, *Label7, *Label1, *Label2;
    QFrame *Bevel1;
    QPushButton *BitBtn1;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void FormCreate();
};
