// ViewFit.cpp: even scaling and centring of the screen picture.
#include "platform/ViewFit.h"

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
