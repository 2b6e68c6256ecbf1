// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QProxyStyle>

// Narrower tab padding, so that the six option tabs take less room beside the file list with the
// wider fonts of some desktops, without giving up the style's own tab drawing.
class CompactTabStyle : public QProxyStyle {
    Q_OBJECT

public:
    explicit CompactTabStyle(QStyle *base);

    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
        const QWidget *widget = nullptr) const override;
};
