#pragma once

#include <QByteArray>
#include <QImage>

// Decodes a JPEG (JFIF) picture with libjpeg. A damaged or cut picture,
// which libjpeg reports as an error or a warning, gives a null image; the
// program goes on (libjpeg's own error handler would end the process).
QImage decodeJpeg(const QByteArray &data);
