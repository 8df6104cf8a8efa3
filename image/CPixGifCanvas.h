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
// rectangle before the next is drawn. Two kinds of picture:
// - indexed, when every frame uses the first frame's colour table (or a part of it) and the same
//   transparency: the indices as drawn, at the first frame's depth, with that table;
// - true colour otherwise: 24 bits, with an alpha plane when a frame has a transparent index, so
//   that every pixel keeps the colour of the table it was drawn with.
// A frame reaching past the screen is drawn where it overlaps it. Every write stays inside the
// picture; the caller bounds the sizes (a saved rectangle is at most a screen).
class CPixGifCanvas {
public:
    enum class EMode { kIndexed, kTrueColour };

    // The screen before the first frame: its transparent index where it has one, else index 0 (or
    // that index's colour). `bpp` is the first frame's depth; `background` the screen's background
    // index, which disposal to the background uses where a frame has no transparent index.
    bool Start(int width, int height, EMode mode, bool alpha, int background, const PixGifFrame& first, int bpp);
    // Before each frame after the first: what the previous one asked for.
    void Dispose();
    // The frame's indices (a palette image of its size) drawn over the screen: the first frame
    // whole, later ones but for their transparent index.
    void Draw(const CPixImage& indices, const PixGifFrame& frame, bool first);

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
    Rect Visible(const PixGifFrame& frame) const;
    void Save(const Rect& r);
    void Restore();
    void Fill(const Rect& r, int index, const std::vector<std::uint8_t>* table, bool clear);
    void DrawIndexed(const CPixImage& indices, const PixGifFrame& frame, const Rect& r);
    void DrawColours(const CPixImage& indices, const PixGifFrame& frame, const Rect& r, bool first);

    CPixImage m_picture{kPixTypeGif};
    std::vector<std::uint8_t> m_saved;                 // the rectangle before the last frame: indices, or blue, green, red, alpha
    // All but the pictures: copied as one.
    struct State {
        EMode mode = EMode::kIndexed;
        int trans = -1;
        int background = 0;
        int disposal = 0;                              // what the last frame drawn asked for
        Rect pending;
        int fillIndex = 0;
        bool fillClear = false;
        std::vector<std::uint8_t> fillTable;
    } m_state;
};
