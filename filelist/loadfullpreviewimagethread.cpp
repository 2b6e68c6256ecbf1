// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "filelist/loadfullpreviewimagethread.h"

#include "convert/conversionoptions.h"
#include "imaging/renderpipeline.h"
#include "metadata/colourspace.h"

LoadFullPreviewImageThread::LoadFullPreviewImageThread(const QString &path, QObject *parent)
    : QThread(parent)
    , path(path)
{
}

void LoadFullPreviewImageThread::run()
{
    // Screens are taken as sRGB.
    Q_EMIT previewImageReady(convertedToSrgb(renderFullPreview(path, optionsSnapshot())));
}
