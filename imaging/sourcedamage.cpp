// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "imaging/sourcedamage.h"

#include "imaging/failurereasons.h"

#include <QPainter>
#include <QPainterPath>
#include <QtGlobal>
#include <mutex>

namespace {

thread_local SourceDamageWatch *currentWatch = nullptr;
QtMessageHandler chainedHandler = nullptr;

void noticeDamage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && currentWatch && context.category
        && isDamageWarning(QString::fromLatin1(context.category), message))
        currentWatch->noteDamage();
    if (chainedHandler)
        chainedHandler(type, context, message);
}

// Installed once, passing every message on, so that whoever installs a handler later and
// forwards the warnings (as the tests do) keeps the watch working.
void installHandlerOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { chainedHandler = qInstallMessageHandler(noticeDamage); });
}

bool rowIsFlat(const QImage &image, int y, QRgb colour)
{
    for (int x = 0; x < image.width(); ++x) {
        if (image.pixel(x, y) != colour)
            return false;
    }
    return true;
}

} // namespace

SourceDamageWatch::SourceDamageWatch()
    : outer(currentWatch)
{
    installHandlerOnce();
    currentWatch = this;
}

SourceDamageWatch::~SourceDamageWatch()
{
    currentWatch = outer;
    if (outer && damaged)
        outer->noteDamage();
}

bool isDamageWarning(const QString &category, const QString &message)
{
    if (category == QLatin1String("pictomat.imageformats.raw"))
        return message.startsWith(QLatin1String("Damaged RAW data"));
    if (!category.startsWith(QLatin1String("qt.gui.imageio.jpeg")))
        return false;
    // Stray bytes between segments are common in camera files and harmless.
    if (message.contains(QLatin1String("extraneous bytes")))
        return false;
    return message.startsWith(QLatin1String("Corrupt JPEG data"))
        || message.contains(QLatin1String("Premature end of JPEG file"));
}

SourceCondition judgeDecodedSource(bool readerComplained, const QImage &image)
{
    if (!readerComplained)
        return SourceCondition::Whole;
    if (image.isNull())
        return SourceCondition::AlmostEmpty;
    const int height = image.height();
    const QRgb fill = image.pixel(image.width() - 1, height - 1);
    int firstFlat = height;
    while (firstFlat > 0 && rowIsFlat(image, firstFlat - 1, fill))
        --firstFlat;
    return qint64(firstFlat) * 50 < height ? SourceCondition::AlmostEmpty : SourceCondition::Damaged;
}

bool acceptDecodedSource(const SourceDamageWatch &watch, QImage *image, QString *reason)
{
    const SourceCondition condition = judgeDecodedSource(watch.sawDamage(), *image);
    if (condition == SourceCondition::Whole)
        return true;
    if (reason)
        *reason = FailureReason::damaged();
    if (condition == SourceCondition::Damaged)
        return true;
    *image = QImage();
    return false;
}

QImage withDamageMark(const QImage &icon)
{
    QImage marked = icon.isNull() ? QImage(64, 64, QImage::Format_ARGB32_Premultiplied)
                                  : icon.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (icon.isNull())
        marked.fill(Qt::transparent);
    const qreal side = qMax(12, qMin(marked.width(), marked.height()) * 2 / 5);
    const QRectF box(marked.width() - side, marked.height() - side, side, side);
    QPainterPath triangle;
    triangle.moveTo(box.center().x(), box.top());
    triangle.lineTo(box.bottomRight());
    triangle.lineTo(box.bottomLeft());
    triangle.closeSubpath();
    QPainter painter(&marked);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(90, 60, 0), side / 12));
    painter.setBrush(QColor(255, 200, 0));
    painter.drawPath(triangle);
    const qreal bar = side / 9;
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawRect(QRectF(box.center().x() - bar / 2, box.top() + side * 0.35, bar, side * 0.33));
    painter.drawRect(QRectF(box.center().x() - bar / 2, box.top() + side * 0.76, bar, bar));
    return marked;
}
