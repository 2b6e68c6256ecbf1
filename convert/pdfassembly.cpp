// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "convert/pdfassembly.h"

#include "common/logging.h"
#include "convert/encoderthreads.h"
#include "convert/filepool.h"
#include "imaging/memorybudget.h"
#include "imaging/pixelformat.h"
#include "imaging/renderpipeline.h"
#include "metadata/colourspace.h"
#include "plugins/imageformats/common/decodestop.h"

#include <QCoreApplication>
#include <QDebug>
#include <QImageReader>
#include <QPdfWriter>
#include <functional>
#include <iterator>
#include <optional>
#include <vector>

namespace {

QPageSize::PageSizeId pageSizeFor(int pdfPaperSize)
{
    switch (pdfPaperSize) {
    case 1:
        return QPageSize::A4;
    case 2:
        return QPageSize::A5;
    case 3:
        return QPageSize::Legal;
    case 4:
        return QPageSize::Executive;
    default:
        return QPageSize::Letter;
    }
}

int resolutionFor(int pdfQuality)
{
    static const int dotsPerInch[] = { 96, 150, 300, 400, 600, 1200 };
    if (pdfQuality < 0 || pdfQuality >= int(std::size(dotsPerInch)))
        return 300;
    return dotsPerInch[pdfQuality];
}

bool setError(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

} // namespace

PdfPageSetup PdfPageSetup::fromOptions(const ConversionOptions &options)
{
    PdfPageSetup setup;
    setup.pageSize = QPageSize(pageSizeFor(options.pdfPaperSize));
    setup.resolution = resolutionFor(options.pdfQuality);
    setup.orientation = options.pdfPaperOrientation == 0 ? QPageLayout::Portrait : QPageLayout::Landscape;
    setup.margin = options.pdfPaperMargin != 0 ? options.pdfPaperMarginSize * 10 : 0;
    setup.resizeImageToPaper = options.resizeImageToPaper;
    setup.transformation = options.pdfSmoothEdges ? Qt::SmoothTransformation : Qt::FastTransformation;
    setup.background = options.backgroundColor;
    return setup;
}

QSize pdfDrawnSize(const QSize &imageSize, const QSize &area, bool resizeImageToPaper)
{
    const int w = imageSize.width();
    const int h = imageSize.height();
    if (w <= 0 || h <= 0 || area.width() <= 0 || area.height() <= 0)
        return {};
    // Single precision throughout, on purpose: the truncated sizes depend on its rounding.
    const float areaWidth = float(area.width());
    const float areaHeight = float(area.height());
    const float rw = float(w) / areaWidth;
    const float rh = float(h) / areaHeight;
    float drawnWidth = float(w);
    float drawnHeight = float(h);
    if (rw < 1.0f && rh < 1.0f) {
        if (resizeImageToPaper) {
            const float sx = areaWidth / float(w);
            const float sy = areaHeight / float(h);
            const float s = sy > sx ? sx : sy;
            drawnWidth = float(w) * s;
            drawnHeight = float(h) * s;
        }
    } else {
        const float r = rw > rh ? rw : rh;
        drawnWidth = float(w) / r;
        drawnHeight = float(h) / r;
    }
    // A sliver of an image would truncate to nothing and leave its page blank without a word.
    return QSize(qMax(1, int(drawnWidth)), qMax(1, int(drawnHeight)));
}

PdfAssembly::PdfAssembly(const QString &documentPath, const PdfPageSetup &setup)
    : _setup(setup)
    , _file(documentPath)
{
}

PdfAssembly::~PdfAssembly()
{
    // An assembly abandoned before finish() discards its temporary file with _file.
    if (_painter.isActive())
        _painter.end();
}

bool PdfAssembly::begin(QString *error)
{
    QString reason;
    if (!_file.open(&reason))
        return setError(error, reason);
    _writer = std::make_unique<QPdfWriter>(_file.device());
    _writer->setPdfVersion(QPagedPaintDevice::PdfVersion_1_6);
    _writer->setResolution(_setup.resolution);
    _writer->setPageSize(_setup.pageSize);
    // The writer's own margins stay zero; the margin is applied by placing the images.
    _writer->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    _writer->setPageOrientation(_setup.orientation);
    _pageSize = QSize(_writer->width(), _writer->height());
    if (!_painter.begin(_writer.get())) {
        _file.cancel();
        return setError(error, QCoreApplication::translate("PdfAssembly", "the PDF writer cannot start"));
    }
    return true;
}

QSize PdfAssembly::availableArea() const
{
    return QSize(_pageSize.width() - 2 * _setup.margin, _pageSize.height() - 2 * _setup.margin);
}

bool PdfAssembly::drawImage(const QImage &image, QString *error)
{
    const QImage page = pageImage(image, error);
    if (page.isNull())
        return false;
    drawPageImage(page);
    return true;
}

QImage PdfAssembly::pageImage(const QImage &image, QString *error) const
{
    const QSize drawnSize = pdfDrawnSize(image.size(), availableArea(), _setup.resizeImageToPaper);
    if (drawnSize.isEmpty()) {
        setError(error, QCoreApplication::translate("PdfAssembly", "the margin leaves no room on the page"));
        return {};
    }
    // A palette or 1-bit picture would be scaled as a bitmap, black and white.
    const QImage page
        = toPaintableFormat(image).scaled(drawnSize, Qt::IgnoreAspectRatio, _setup.transformation);
    if (page.isNull()) {
        setError(error,
            QCoreApplication::translate("PdfAssembly", "cannot scale the image to %1 x %2 pixels")
                .arg(drawnSize.width())
                .arg(drawnSize.height()));
        return {};
    }
    // The PDF engine draws a 1-bit image as a stencil in the pen colour; the page holds only the
    // full-colour, opaque form.
    return flattenOntoBackground(page, _setup.background);
}

void PdfAssembly::drawPageImage(const QImage &page)
{
    _painter.drawImage(QPoint(_setup.margin, _setup.margin), page);
}

bool PdfAssembly::newPage(QString *error)
{
    if (!_writer->newPage())
        return setError(error, QCoreApplication::translate("PdfAssembly", "cannot add a page"));
    return true;
}

bool PdfAssembly::finish(QString *error)
{
    const bool ended = _painter.end();
    _writer.reset();
    QString failure = _file.writeFailure();
    if (failure.isEmpty() && !ended)
        failure = QCoreApplication::translate("PdfAssembly", "the PDF writer failed");
    if (!failure.isEmpty()) {
        _file.cancel();
        return setError(error, failure);
    }
    return _file.commit(error);
}

namespace {

// One source made ready for its page on a pool thread: the page image, or the reason it has none.
struct PreparedPage {
    QImage page;
    std::optional<QString> failure;
    QString damage; // drawn from what a damaged source still held: the page stays, it is reported
};

PreparedPage preparePage(const PdfAssembly &document, const QString &source, const ConversionOptions &options,
    int decoderThreads, const std::function<bool()> &abandoned)
{
    PreparedPage prepared;
    QString reason;
    RenderMode mode;
    mode.pdfPage = true;
    mode.cacheUse = LoadCacheUse::Bypass;
    mode.decoderThreads = decoderThreads;
    const QImage image = renderImage(source, options, mode, &reason);
    // A stop before this page's turn: it would never be drawn, so it is not made ready.
    if (abandoned())
        return prepared;
    if (image.isNull()) {
        prepared.failure = reason;
        return prepared;
    }
    QString error;
    // A PDF page holds no profile here: the pixels are made sRGB so that they look right.
    prepared.page = document.pageImage(convertedToSrgb(image), &error);
    if (prepared.page.isNull())
        prepared.failure = error;
    else
        prepared.damage = reason;
    return prepared;
}

// Draws a prepared source onto the current page; false (reported) when it leaves the page blank.
bool placeSource(
    PdfAssembly &document, const QString &source, PreparedPage &prepared, const PdfAssemblyHooks &hooks)
{
    if (prepared.failure) {
        hooks.failed(source, *prepared.failure);
        return false;
    }
    document.drawPageImage(prepared.page);
    prepared.page = QImage();
    if (!prepared.damage.isEmpty())
        hooks.failed(source, prepared.damage);
    return true;
}

bool reportLostDocument(
    const QString &documentPath, const QString &error, QStringList lost, const PdfAssemblyHooks &hooks)
{
    qCDebug(lcConvert).noquote() << "Cannot write: " + documentPath + " " + error;
    // A failure with no source still tells the job that the document itself is missing.
    if (lost.isEmpty())
        lost.append(QString());
    const QString reason
        = QCoreApplication::translate("PdfAssembly", "the PDF document cannot be written (%1)").arg(error);
    for (const QString &source : std::as_const(lost))
        hooks.failed(source, reason);
    return false;
}

} // namespace

bool assemblePdf(const QStringList &sources, const QString &documentPath, const ConversionOptions &options,
    const PdfAssemblyHooks &hooks)
{
    PdfAssembly document(documentPath, PdfPageSetup::fromOptions(options));
    QString error;
    if (!document.begin(&error))
        return reportLostDocument(documentPath, error, sources, hooks);

    // Pages render on the pool, started in list order; each is drawn at its turn, after its
    // signal, exactly as one page after the other would be.
    std::vector<PreparedPage> prepared(size_t(sources.size()));
    qsizetype started = 0;
    qint64 nextBytes = -1;
    FilePool pool(hooks.pagesAtOnce, hooks.memoryBudget, hooks.stopRequested);
    const auto startNext = [&] {
        const qsizetype i = started;
        if (nextBytes < 0) {
            const QImageReader reader(sources.at(i));
            nextBytes = MemoryBudget::conversionBytes(reader.size(), QStringLiteral("pdf"), reader.format());
        }
        const QString source = sources.at(i);
        // Pages fewer than threads leave the cores to their decoders.
        const int share = EncoderThreadShare::forFiles(
            int(qMin<qsizetype>(pool.threads(), sources.size() - i)), options.threadLimit);
        if (!pool.tryStart(i, nextBytes, [&document, &prepared, &options, &pool, i, source, share] {
                const auto abandoned = [&pool, i] { return pool.abandoned(i); };
                if (abandoned())
                    return;
                // A page the job abandons ends its decode (a RAW development) at the next step.
                const DecodeStop::Scope decodeStop(abandoned);
                prepared[size_t(i)] = preparePage(document, source, options, share, abandoned);
            }))
            return false;
        nextBytes = -1;
        ++started;
        return true;
    };
    qsizetype next = 0;
    // At most as many pages ahead of the one being drawn as there are threads: one thread renders
    // exactly one page after the other, each after its signal.
    const auto startMore = [&] {
        const qsizetype end = qMin(sources.size(), next - 1 + pool.threads());
        while (started < end && !hooks.stopRequested() && startNext()) { }
    };

    QStringList placed;
    bool pagesAdded = true;
    while (next < sources.size() && !hooks.stopRequested()) {
        const qsizetype turn = next++;
        // Pages ahead of their turn stop at once on a stop that comes first.
        if (!pool.beginTurn(turn))
            break;
        const QString &source = sources.at(turn);
        hooks.pageStarted(source);
        // The page whose turn it is is drawn even when a stop came with its signal; nothing
        // before it is held any more, so it fits.
        if (started == turn)
            startNext();
        startMore();
        pool.take(turn, startMore);
        if (placeSource(document, source, prepared[size_t(turn)], hooks))
            placed.append(source);
        if (next < sources.size() && !document.newPage(&error)) {
            pagesAdded = false;
            break;
        }
    }
    if (pagesAdded && document.finish(&error))
        return true;
    // Every page drawn is lost with the document, and so is every source it can no longer
    // reach; sources left out by a cancellation are not failures.
    if (!pagesAdded)
        placed += sources.mid(next);
    return reportLostDocument(documentPath, error, placed, hooks);
}
