// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "imaging/qrcode.h"

#include "common/logging.h"
#include "imaging/imagelimits.h"

#include <QDebug>
#include <QList>
#include <QPainter>
#include <QRectF>
#include <optional>
#include <qrcodegen/qrcodegen.hpp>

namespace {

std::optional<qrcodegen::QrCode> encode(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    try {
        return qrcodegen::QrCode::encodeText(utf8.constData(), qrcodegen::QrCode::Ecc::LOW);
    } catch (const qrcodegen::data_too_long &) {
        // The library's only way to say so; nothing above this step expects a failure.
        qCDebug(lcImaging).noquote() << QStringLiteral(
            "createQrCodeImage: %1 bytes of text do not fit into any QR code, "
            "the QR code watermark is skipped")
                                            .arg(utf8.size());
        return std::nullopt;
    }
}

} // namespace

QImage createQrCodeImage(const QString &text, int side)
{
    if (side <= 0)
        return QImage();
    if (!fitsAllocationLimit(side, side)) {
        qCDebug(lcImaging).noquote() << QStringLiteral(
            "createQrCodeImage: a QR code of %1 pixels exceeds the image "
            "allocation limit")
                                            .arg(side);
        return QImage();
    }
    const std::optional<qrcodegen::QrCode> code = encode(text);
    if (!code)
        return QImage();

    QImage image(side, side, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::white);
    const int n = qMax(1, code->getSize());
    const double module = double(qMin(image.width(), image.height())) / (n + 2);
    QList<QRectF> dark;
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            if (code->getModule(x, y))
                dark.append(QRectF((x + 1) * module, (y + 1) * module, module, module));
        }
    }
    QPainter painter(&image);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawRects(dark.constData(), int(dark.size()));
    painter.end();
    return image;
}
