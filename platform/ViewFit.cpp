// ViewFit.cpp: even scaling and centring of the screen picture.
#include "platform/ViewFit.h"

#include <algorithm>
#include <cmath>

ViewRect FitView(int pictureWidth, int pictureHeight, int drawableWidth, int drawableHeight)
{
    ViewRect rect;
    if (pictureWidth <= 0 || pictureHeight <= 0 || drawableWidth <= 0 || drawableHeight <= 0)
        return rect;
    // Compare the two aspects in integers: equal ones fill the drawable exactly, without rounding.
    const long long wide = static_cast<long long>(drawableWidth) * pictureHeight;
    const long long tall = static_cast<long long>(drawableHeight) * pictureWidth;
    if (wide == tall) {
        rect.width = drawableWidth;
        rect.height = drawableHeight;
    } else if (wide > tall) {  // bars left and right
        rect.height = drawableHeight;
        rect.width = static_cast<int>(std::lround(static_cast<double>(tall) / pictureHeight));
    } else {                   // bars above and below
        rect.width = drawableWidth;
        rect.height = static_cast<int>(std::lround(static_cast<double>(wide) / pictureWidth));
    }
    rect.x = (drawableWidth - rect.width) / 2;
    rect.y = (drawableHeight - rect.height) / 2;
    return rect;
}

void DrawableToPicture(const ViewRect& rect, int pictureWidth, int pictureHeight, float& x, float& y)
{
    if (rect.width <= 0 || rect.height <= 0)
        return;
    x = (x - static_cast<float>(rect.x)) * static_cast<float>(pictureWidth) / static_cast<float>(rect.width);
    y = (y - static_cast<float>(rect.y)) * static_cast<float>(pictureHeight) / static_cast<float>(rect.height);
}

namespace {

// One axis: [first, end) of the drawable, for picture pixels [from, to) of `picture`.
void ScaleSpan(int offset, int size, int picture, int from, int to, int& first, int& end)
{
    const double scale = static_cast<double>(size) / picture;
    // A linear filter blends neighbours: a picture pixel reaches about 1.5 of its scaled widths.
    const int margin = static_cast<int>(std::ceil(scale)) + 1;
    first = std::max(offset + static_cast<int>(std::floor(from * scale)) - margin, offset);
    end = std::min(offset + static_cast<int>(std::ceil(to * scale)) + margin, offset + size);
}

}  // namespace

ViewRect DrawablePixelsShowing(const ViewRect& rect, int pictureWidth, int pictureHeight, int x, int y, int w, int h)
{
    ViewRect out;
    if (w <= 0 || h <= 0 || pictureWidth <= 0 || pictureHeight <= 0 || rect.width <= 0 || rect.height <= 0)
        return out;
    int left = 0, right = 0, top = 0, bottom = 0;
    ScaleSpan(rect.x, rect.width, pictureWidth, x, x + w, left, right);
    ScaleSpan(rect.y, rect.height, pictureHeight, y, y + h, top, bottom);
    if (right <= left || bottom <= top)
        return out;
    out.x = left;
    out.y = top;
    out.width = right - left;
    out.height = bottom - top;
    return out;
}
