#include "plugins/imageformats/common/cicp.h"

namespace Cicp {

QColorSpace toColorSpace(int primaries, int transfer)
{
    QColorSpace::Primaries qtPrimaries;
    switch (primaries) {
    case PrimariesBt709:
    case PrimariesUnspecified:
        qtPrimaries = QColorSpace::Primaries::SRgb;
        break;
    case PrimariesDisplayP3:
        qtPrimaries = QColorSpace::Primaries::DciP3D65;
        break;
    default:
        return {};
    }
    switch (transfer) {
    case TransferSrgb:
        return QColorSpace(qtPrimaries, QColorSpace::TransferFunction::SRgb);
    case TransferLinear:
        return QColorSpace(qtPrimaries, QColorSpace::TransferFunction::Linear);
    case TransferGamma22:
        return QColorSpace(qtPrimaries, 2.2f);
    case TransferGamma28:
        return QColorSpace(qtPrimaries, 2.8f);
    default:
        return {};
    }
}

} // namespace Cicp
