// CPixGifCanvas.h: the logical screen a GIF's frames are drawn on, one after the other.
#pragma once

#include "image/CPixImage.h"

#include <cstdint>
#include <vector>

// What one frame brings: where it lies, the colours it was drawn with and what its own graphic
// control record says (a record is for the image after it only).
struct PixGifFrame {
    int left = 0, top = 0, width = 0, height = 0;
    int trans = -1;                                    // its transparent index; -1 for none
    int disposal = 0;                                  // 2: to the background, 3: to what was there before
    const std::vector<std::uint8_t>* table = nullptr;  // red, green, blue triples; null or empty for none
};

// Holds the picture as the frames so far leave it, and what the last frame asked to become of its
// rectangle before the next is drawn. The picture is indexed while the frames since the first (or
// since the last that covered the screen with no transparent index) use that frame's colour table,
// or a part of it, and its transparent index: the indices as drawn, at that frame's depth, with
// that table. A frame with another table or transparency turns it into a 24-bit picture, with an
// alpha plane where the file has transparency, so that every pixel keeps the colour of the table
// it was drawn with. A frame reaching past the screen is drawn where it overlaps it. Every write
// stays inside the picture; the caller bounds the sizes (a saved rectangle is at most a screen).
class CPixGifCanvas {
public:
    enum class EMode { kIndexed, kTrueColour };

    // The rule that keeps the picture indexed, here alone, so that the budget counted before the
    // first frame sees the canvas's own: a frame that covers a screen of width x height with no
    // transparent index leaves nothing of the frames before, and starts a palette picture of its
    // table; a later frame fits that picture when its table is that table, or a part of it, and
    // its transparent index the same.
    static bool Covers(const PixGifFrame& frame, int width, int height);
    static bool Fits(const PixGifFrame& frame, const std::vector<std::uint8_t>& table, int trans);

    // Before the first frame: the screen's size, whether any frame of the file is transparent
    // (a colour picture then has an alpha plane), and its background index, which disposal to the
    // background uses where a frame has no transparent index.
    void Begin(int width, int height, bool alpha, int background);
    // The frame's indices (a palette image of its size, at the depth of its table) drawn over
    // what the frames before leave, once what the last one asked for is done; the first frame on
    // a screen of its transparent index, or of index 0, as other readers show it.
    bool Draw(const CPixImage& indices, const PixGifFrame& frame);

    bool CopyFrom(const CPixGifCanvas& other);
    bool TakeFrom(CPixGifCanvas& other);               // moves the other's picture and state here
    CPixImage& Picture() { return m_picture; }
    const CPixImage& Picture() const { return m_picture; }
    EMode Mode() const { return m_state.mode; }
    int TransparentIndex() const { return m_state.trans; }   // of an indexed picture
    std::uint64_t HeldBytes() const;

private:
    struct Rect {
        int left = 0, top = 0, right = 0, bottom = 0;    // top-down, right and bottom excluded
        bool Empty() const { return right <= left || bottom <= top; }
    };
    bool StartIndexed(const PixGifFrame& frame, int bpp);
    bool ToColour();
    void Dispose();
    Rect Visible(const PixGifFrame& frame) const;
    void Save(const Rect& r);
    void Restore();
    void Fill(const Rect& r, int index, PixQuad colour, bool clear);
    void DrawIndexed(const CPixImage& indices, const PixGifFrame& frame, const Rect& r);
    void DrawColours(const CPixImage& indices, const PixGifFrame& frame, const Rect& r);

    CPixImage m_picture{kPixTypeGif};
    struct Screen {
        int width = 0, height = 0;
        bool alpha = false;                            // a colour picture has an alpha plane
    } m_screen;
    std::vector<std::uint8_t> m_saved;                 // the rectangle before the last frame: indices, or blue, green, red, alpha
    // All but the pictures: copied as one.
    struct State {
        EMode mode = EMode::kIndexed;
        int trans = -1;                                // of the indexed picture
        std::vector<std::uint8_t> table;               // its colours
        int background = 0;
        int disposal = 0;                              // what the last frame drawn asked for
        Rect pending;
        int fillIndex = 0;
        PixQuad fillColour;                            // of fillIndex in the frame's table
        bool fillClear = false;
    } m_state;
};
