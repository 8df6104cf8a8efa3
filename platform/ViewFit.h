// ViewFit.h: where the screen picture shows inside the window's drawable, and back.
//
// The picture keeps its aspect: it is scaled evenly until it meets two edges of the drawable and
// centred, leaving bars on the other two. A drawable of the picture's own size shows it 1:1.
#pragma once

struct ViewRect {
    int x = 0, y = 0;                  // top-left, in drawable pixels from the top-left corner
    int width = 0, height = 0;
};

ViewRect FitView(int pictureWidth, int pictureHeight, int drawableWidth, int drawableHeight);

// A point of the drawable (pixels from its top-left corner) in picture pixels; points on the bars
// fall outside the picture.
void DrawableToPicture(const ViewRect& rect, int pictureWidth, int pictureHeight, float& x, float& y);

// The drawable pixels that a copy of the picture into `rect` may change when the picture changes
// within the box (x, y, w, h of picture pixels): the box scaled, widened by what filtering reaches
// and kept inside `rect`. Empty (width 0) for an empty box.
ViewRect DrawablePixelsShowing(const ViewRect& rect, int pictureWidth, int pictureHeight, int x, int y, int w, int h);
