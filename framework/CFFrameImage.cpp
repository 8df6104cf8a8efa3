// CFFrameImage.cpp: a one-frame range per chosen frame, never looped.
#include "framework/CFFrameImage.h"

CFFrameImage::CFFrameImage()
{
    SetStateCode(kStateFrameImage);
}

void CFFrameImage::SetFrame(int frame)
{
    PlayRange(frame, frame, false);
}
