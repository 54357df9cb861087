// One frame of a window, drawn the way an application's paint handler draws it: clear, smoothing, rounded
// panels, lines and text, then a picture loaded earlier laid over the drawing.
#include <string>

#include "Demo.h"

namespace {

const CString kFamily("DejaVu Sans");

}  // namespace

void DrawFrame(CFxPictor& canvas, CFxPictor& picture)
{
    const CSize size = canvas.GetSize();
    canvas.Clear(236, 240, 246, 255);
    canvas.SetSmoothModeHighQuility();

    // A header band and a body panel that follow the client size.
    canvas.FillRoundRect(8, 8, size.cx - 16, 56, 255, 40, 70, 120, 255, 30, 50, 90, 14);
    canvas.Text(24, 22, 22, 255, 255, 255, 255, CString("DejaVu Sans"), CString("PICTOR · 창 그리기"));
    canvas.FillRoundRect(8, 76, size.cx - 16, size.cy - 84, 255, 255, 255, 255, 255, 200, 206, 216, 12);

    // A little chart across the panel: grid lines and a polyline of values.
    const int left = 32, bottom = size.cy - 32, width = size.cx - 64, height = size.cy - 200;
    for (int i = 0; i <= 4; ++i) {
        const int y = bottom - i * height / 4;
        canvas.Line(left, y, left + width, y, 255, 220, 224, 232, 1.0f);
        canvas.Text(left - 24, y - 8, 11, 255, 120, 128, 140, kFamily, CString(std::to_string(i * 25).c_str()));
    }
    const int values[] = {20, 45, 38, 70, 62, 88, 75, 95};
    for (int i = 0; i + 1 < 8; ++i) {
        const int x1 = left + i * width / 7, x2 = left + (i + 1) * width / 7;
        canvas.Line(x1, bottom - values[i] * height / 100, x2, bottom - values[i + 1] * height / 100, 255, 220, 80, 60,
                    3.0f);
    }

    // The picture, loaded earlier into its own canvas, laid over the drawing at the top right.
    const CSize pictureSize = picture.GetSize();
    if (pictureSize.cx > 0) picture.CopyToThis(&canvas, size.cx - pictureSize.cx - 24, 92);
}
