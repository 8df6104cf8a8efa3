// CFFrameImage.h: an animated object that shows one chosen frame instead of playing.
#pragma once

#include "framework/CFAnimatedObject.h"

class CFFrameImage : public CFAnimatedObject {
public:
    CFFrameImage();

    void SetFrame(int frame);  // shown still from the next update on
};
