// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "convert/checkedsavefile.h"
#include "convert/conversionoptions.h"

#include <QColor>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QSize>
#include <QStringList>
#include <functional>
#include <memory>

class QPdfWriter;

// The page rules of a combined PDF, read from the PDF options.
struct PdfPageSetup {
    QPageSize pageSize = QPageSize(QPageSize::Letter);
    int resolution = 300;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    int margin = 0; // in the writer's device pixels, on every side; not millimetres
    bool resizeImageToPaper = false;
    Qt::TransformationMode transformation = Qt::SmoothTransformation;
    QColor background = Qt::white; // under transparent parts of a picture; a page holds no alpha

    static PdfPageSetup fromOptions(const ConversionOptions &options);
};

// The size an image is drawn at inside the available area (page minus margins): shrunk to fit
// when it touches or passes an edge, grown to meet the nearer edge when `resizeImageToPaper`
// is on, otherwise kept. Computed in single precision and truncated, never below one pixel.
QSize pdfDrawnSize(const QSize &imageSize, const QSize &area, bool resizeImageToPaper);

// One combined PDF document being written: the pages go to a temporary file beside the
// document that replaces it only when the document is complete. Lives on one thread.
class PdfAssembly {
public:
    PdfAssembly(const QString &documentPath, const PdfPageSetup &setup);
    ~PdfAssembly();

    // Creates the document and opens its first page.
    bool begin(QString *error);
    // The writer's page in device pixels, and the area left inside the margins.
    QSize pageSize() const { return _pageSize; }
    QSize availableArea() const;
    // Draws the image at its drawn size with its top-left corner on the margin.
    bool drawImage(const QImage &image, QString *error);
    // The image as drawImage() puts it on the page: scaled to its drawn size, opaque. Null, with
    // the reason in *error, when it cannot be. Only reads the set-up: safe on any thread once
    // begin() has returned.
    QImage pageImage(const QImage &image, QString *error) const;
    // Draws an image made by pageImage() with its top-left corner on the margin.
    void drawPageImage(const QImage &page);
    bool newPage(QString *error);
    // Completes the document and puts it in place.
    bool finish(QString *error);

private:
    PdfPageSetup _setup;
    CheckedSaveFile _file;
    std::unique_ptr<QPdfWriter> _writer;
    QPainter _painter;
    QSize _pageSize;
};

// What the assembly reports to the job running it; every hook runs on the calling thread.
struct PdfAssemblyHooks {
    std::function<bool()> stopRequested;
    std::function<void(const QString &source)> pageStarted;
    std::function<void(const QString &source, const QString &reason)> failed;
    // Pages rendered at once, and the memory they may hold (-1: no figure); they are drawn
    // into the document one at a time, in list order.
    int pagesAtOnce = 1;
    qint64 memoryBudget = -1;
};

// Renders every source onto a page of its own, in order, until a stop is requested; no sources
// give one empty page. An unreadable source keeps its blank page and is reported; a document
// that cannot be created or written is reported for every source it should have held (or once,
// with no source, for an empty list). Returns whether the document was written.
bool assemblePdf(const QStringList &sources, const QString &documentPath, const ConversionOptions &options,
    const PdfAssemblyHooks &hooks);
