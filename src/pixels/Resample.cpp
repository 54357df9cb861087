// Resampling to a new size, stretched or fitted over a background, through a scratch canvas.
#include <climits>
#include <cmath>

#include "Fit.h"
#include "FxPictor.h"

namespace pictor {

namespace {

// p / q in double precision, kept as a single-precision float.
float Ratio(int p, int q) { return static_cast<float>(static_cast<double>(p) / static_cast<double>(q)); }

// Cut toward zero into a 32-bit integer; values beyond its range (sizes no canvas can have, or the
// infinities of a zero-sized picture) stop at its ends, and NaN becomes 0.
int Truncated(double value)
{
    if (!(value == value)) return 0;
    if (value >= 2147483647.0) return INT_MAX;
    if (value <= -2147483648.0) return INT_MIN;
    return static_cast<int>(std::trunc(value));
}

// A side scaled by a ratio: the side as a float, the product in double precision, cut toward zero.
int Scaled(int side, float ratio)
{
    return Truncated(static_cast<double>(static_cast<float>(side)) * static_cast<double>(ratio));
}

}  // namespace

FitResult FitInto(int fromWidth, int fromHeight, int toWidth, int toHeight)
{
    int w = toWidth;
    int h = toHeight;
    // A wide target may already be too wide at the full height; then the height stays the target's.
    bool heightSettled = false;
    if (toWidth > toHeight) {
        w = Scaled(fromWidth, Ratio(toHeight, fromHeight));
        heightSettled = w > toHeight;
    }
    if (!heightSettled) h = Scaled(fromHeight, Ratio(w, fromWidth));
    if (toWidth < w) {
        w = toWidth;
        h = Scaled(fromHeight, Ratio(toWidth, fromWidth));
    }
    if (toHeight < h) {
        h = toHeight;
        w = Scaled(fromWidth, Ratio(toHeight, fromHeight));
    }
    const int x = Truncated((static_cast<double>(toWidth) - w) * 0.5);
    const int y = Truncated((static_cast<double>(toHeight) - h) * 0.5);
    return FitResult{x, y, w, h};
}

}  // namespace pictor

void CFxPictor::ReSampling(int nWidth, int nHeight, int nFitMode, BYTE r, BYTE g, BYTE b)
{
    if (!m_pBitmap || !m_pGraphics) return;
    const int oldWidth = m_nWidth;
    const int oldHeight = m_nHeight;

    CFxPictor scratch(nullptr, nWidth, nHeight);
    if (!scratch.m_pGraphics) return;
    scratch.m_pGraphics->SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    scratch.m_pGraphics->SetInterpolationMode(Gdiplus::InterpolationModeBicubic);
    scratch.m_pGraphics->Clear(Gdiplus::Color(255, r, g, b));

    pictor::FitResult target{0, 0, nWidth, nHeight};
    if (nFitMode == 1) target = pictor::FitInto(oldWidth, oldHeight, nWidth, nHeight);
    CopyToThis(&scratch, 0, 0, oldWidth, oldHeight, target.x, target.y, target.width, target.height);

    Init(nullptr, nWidth, nHeight);
    scratch.CopyToThis(this);
}
