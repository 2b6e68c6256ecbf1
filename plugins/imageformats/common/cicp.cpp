// SPDX-FileCopyrightText: 2026 The Pictomat developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "plugins/imageformats/common/cicp.h"

#include <QPointF>
#include <QVector>
#include <cmath>
#include <functional>

namespace Cicp {

namespace {

    struct Chromaticities {
        QPointF white, red, green, blue;
    };

    const QPointF D65(0.3127, 0.3290);

    // H.273 table 2, for the primaries Qt has no name for.
    bool chromaticities(int primaries, Chromaticities *c)
    {
        switch (primaries) {
        case 4: // BT.470 System M
            *c = { { 0.310, 0.316 }, { 0.67, 0.33 }, { 0.21, 0.71 }, { 0.14, 0.08 } };
            return true;
        case 5: // BT.470 System B, G; BT.601 625 lines
            *c = { D65, { 0.64, 0.33 }, { 0.29, 0.60 }, { 0.15, 0.06 } };
            return true;
        case 6: // BT.601 525 lines
        case 7: // SMPTE 240M
            *c = { D65, { 0.630, 0.340 }, { 0.310, 0.595 }, { 0.155, 0.070 } };
            return true;
        case 8: // generic film
            *c = { { 0.310, 0.316 }, { 0.681, 0.319 }, { 0.243, 0.692 }, { 0.145, 0.049 } };
            return true;
        case 9: // BT.2020, BT.2100
            *c = { D65, { 0.708, 0.292 }, { 0.170, 0.797 }, { 0.131, 0.046 } };
            return true;
        case 11: // SMPTE RP 431-2 (DCI-P3, theatre white)
            *c = { { 0.314, 0.351 }, { 0.680, 0.320 }, { 0.265, 0.690 }, { 0.150, 0.060 } };
            return true;
        case 22: // EBU Tech 3213
            *c = { D65, { 0.630, 0.340 }, { 0.295, 0.605 }, { 0.155, 0.077 } };
            return true;
        default:
            return false;
        }
    }

    QColorSpace withTransfer(int primaries, QColorSpace::TransferFunction function, float gamma = 0.0f)
    {
        switch (primaries) {
        case PrimariesBt709:
        case PrimariesUnspecified:
            return QColorSpace(QColorSpace::Primaries::SRgb, function, gamma);
        case PrimariesDisplayP3:
            return QColorSpace(QColorSpace::Primaries::DciP3D65, function, gamma);
        default:
            break;
        }
        Chromaticities c;
        if (!chromaticities(primaries, &c))
            return {};
        return QColorSpace(c.white, c.red, c.green, c.blue, function, gamma);
    }

    double srgbEncode(double linear)
    {
        linear = qBound(0.0, linear, 1.0);
        return linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1.0 / 2.4) - 0.055;
    }

    // The BT.709 family's inverse OETF (also BT.601, BT.2020, and xvYCC and BT.1361 over the
    // normal range).
    double bt709Linear(double v)
    {
        return v < 0.081 ? v / 4.5 : std::pow((v + 0.099) / 1.099, 1.0 / 0.45);
    }

    double smpte240Linear(double v)
    {
        return v < 0.0913 ? v / 4.0 : std::pow((v + 0.1115) / 1.1115, 1.0 / 0.45);
    }

    double pqNits(double v)
    {
        const double m1 = 2610.0 / 16384, m2 = 2523.0 / 4096 * 128, c1 = 3424.0 / 4096,
                     c2 = 2413.0 / 4096 * 32, c3 = 2392.0 / 4096 * 32;
        const double p = std::pow(qBound(0.0, v, 1.0), 1.0 / m2);
        return 10000.0 * std::pow(qMax(p - c1, 0.0) / (c2 - c3 * p), 1.0 / m1);
    }

    // HLG's inverse OETF and the OOTF of a 1,000 cd/m2 display (system gamma 1.2).
    double hlgNits(double v)
    {
        const double a = 0.17883277, b = 1.0 - 4.0 * a, c = 0.5 - a * std::log(4.0 * a);
        v = qBound(0.0, v, 1.0);
        const double scene = v <= 0.5 ? v * v / 3.0 : (std::exp((v - c) / a) + b) / 12.0;
        return 1000.0 * std::pow(scene, 1.2);
    }

    double toneMap(double nits)
    {
        constexpr double ReferenceWhite = 203.0;
        constexpr double Peak = 10000.0 / ReferenceWhite;
        const double x = nits / ReferenceWhite;
        return x * (1.0 + x / (Peak * Peak)) / (1.0 + x);
    }

    // From the coded value (0..1) to linear light (0..1, 1.0 being white); null when Qt describes
    // the transfer itself or it is unknown.
    std::function<double(double)> linearFor(int transfer)
    {
        switch (transfer) {
        case 1:
        case 6:
        case 11:
        case 12:
        case 14:
        case 15:
            return bt709Linear;
        case 7:
            return smpte240Linear;
        case 9:
            return [](double v) { return v <= 0.0 ? 0.0 : std::pow(10.0, 2.0 * (v - 1.0)); };
        case 10:
            return [](double v) { return v <= 0.0 ? 0.0 : std::pow(10.0, 2.5 * (v - 1.0)); };
        case 17:
            return [](double v) { return 52.37 / 48.0 * std::pow(qBound(0.0, v, 1.0), 2.6); };
        case TransferPq:
            return [](double v) { return toneMap(pqNits(v)); };
        case TransferHlg:
            return [](double v) { return toneMap(hlgNits(v)); };
        default:
            return {};
        }
    }

    // Every colour channel through `curve`; alpha stays.
    void mapChannels(QImage &pixels, const std::function<double(double)> &curve)
    {
        const bool deep = pixels.depth() == 64;
        if (deep) {
            QVector<quint16> table(65536);
            for (int i = 0; i < 65536; ++i)
                table[i] = quint16(std::lround(srgbEncode(curve(i / 65535.0)) * 65535.0));
            for (int y = 0; y < pixels.height(); ++y) {
                auto *line = reinterpret_cast<QRgba64 *>(pixels.scanLine(y));
                for (int x = 0; x < pixels.width(); ++x)
                    line[x] = QRgba64::fromRgba64(
                        table[line[x].red()], table[line[x].green()], table[line[x].blue()], line[x].alpha());
            }
            return;
        }
        QVector<uchar> table(256);
        for (int i = 0; i < 256; ++i)
            table[i] = uchar(std::lround(srgbEncode(curve(i / 255.0)) * 255.0));
        for (int y = 0; y < pixels.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(pixels.scanLine(y));
            for (int x = 0; x < pixels.width(); ++x)
                line[x] = qRgba(
                    table[qRed(line[x])], table[qGreen(line[x])], table[qBlue(line[x])], qAlpha(line[x]));
        }
    }

} // namespace

QColorSpace toColorSpace(int primaries, int transfer)
{
    switch (transfer) {
    case TransferSrgb:
        return withTransfer(primaries, QColorSpace::TransferFunction::SRgb);
    case TransferLinear:
        return withTransfer(primaries, QColorSpace::TransferFunction::Linear);
    case TransferGamma22:
        return withTransfer(primaries, QColorSpace::TransferFunction::Gamma, 2.2f);
    case TransferGamma28:
        return withTransfer(primaries, QColorSpace::TransferFunction::Gamma, 2.8f);
    default:
        return {};
    }
}

bool apply(QImage &pixels, int primaries, int transfer)
{
    const QColorSpace described = toColorSpace(primaries, transfer);
    if (described.isValid()) {
        pixels.setColorSpace(described);
        return false;
    }
    const std::function<double(double)> curve = linearFor(transfer);
    const QColorSpace target = withTransfer(primaries, QColorSpace::TransferFunction::SRgb);
    // The ARGB32 and RGBA64 layouts the readers decode to; premultiplied pixels would need
    // their alpha divided out first, so those are left as they are.
    const bool straight = pixels.format() == QImage::Format_RGB32 || pixels.format() == QImage::Format_ARGB32
        || pixels.format() == QImage::Format_RGBX64 || pixels.format() == QImage::Format_RGBA64;
    if (!curve || !target.isValid() || !straight)
        return false;
    mapChannels(pixels, curve);
    pixels.setColorSpace(target);
    return transfer == TransferPq || transfer == TransferHlg;
}

} // namespace Cicp
