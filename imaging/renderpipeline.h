// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QImage>
#include <QString>
#include <functional>

struct ConversionOptions;

// How a render uses the one-entry load cache. The previews render one file again and again and
// keep it there; a conversion job renders each file once, and an image kept for nobody would
// double the job's memory and cost a full copy before the watermarks are painted on it.
// A bypassing render still takes a cached image, and still empties the cache when it decodes.
enum class LoadCacheUse { Keep, Bypass };

// How one render is wanted, beside the options: everything the caller knows that the options
// do not say. Nothing of it outlives the call.
struct RenderMode {
    bool fastPreview = false; // the live preview: nearest-neighbour scaling
    bool pdfPage = false; // a page of a combined PDF: pdfSmoothEdges chooses the scaling
    LoadCacheUse cacheUse = LoadCacheUse::Keep;
    int decoderThreads = 0; // the file's share of the cores for its decoder; 0: every core
};

// The finished image for a source file: loaded, watermarked, scaled and adjusted with the
// caller's snapshot of the options. Null when the file cannot be loaded or a step fails; then
// *reason (if given) says why in words (FailureReason). An image with *reason set comes from a
// damaged source: it is written, and the file is reported with the reason. Runs on worker
// threads and reads no process-wide state but the load cache.
QImage renderImage(
    const QString &path, const ConversionOptions &options, const RenderMode &mode, QString *reason = nullptr);

// The same with a snapshot of the live options taken at the call, never a PDF page: a file as
// the window shows it (tests and tools).
QImage renderImage(const QString &path, bool fastPreview, LoadCacheUse cacheUse = LoadCacheUse::Keep,
    QString *reason = nullptr);

// The live preview's image: what renderImage() returns for a fast preview, then reduced to the
// size `fit` gives for it by nearest-neighbour sampling. Sampling picks pixels and a per-pixel
// rule maps each pixel alike wherever it lies, so the rules after the last blur run on the
// reduced image with the same result, at a small fraction of the cost on a large photo.
// Both previews show a transparent source on the background its target gives it (white for JPG
// and PDF pages), as the written file will look.
QImage renderFittedPreview(
    const QString &path, const ConversionOptions &options, const std::function<QSize(QSize)> &fit);

// The full-size preview's image: renderImage() as a file job renders it, shown as the target
// will hold it.
QImage renderFullPreview(const QString &path, const ConversionOptions &options);

namespace ImageMagickUtil {
// Decodes the file into *image at full size, upright; false when it cannot be read, with the
// reason in *reason (if given). True with *reason set: the file is damaged, the image what the
// reader could make of it. Our codec plug-ins decode on `decoderThreads` threads (0: every core).
bool loadImage(const QString &path, QImage *image, QString *reason = nullptr, int decoderThreads = 0);
}

// Whether the path names an existing regular file with a readable image extension.
bool isSupportedImageFile(const QString &path);

// Drops the one-entry load cache (tests, and callers that know a file changed).
void clearLoadCache();
