// CPixGifCanvas.cpp: frames drawn over the screen, and disposed of before the next one.
#include "image/CPixGifCanvas.h"

#include <algorithm>
#include <cstring>

namespace {

// A table's colour of an index, as the palette of an indexed picture has it: a file without any
// table is read as grey levels, and an index past the end of its table as black, or as white in
// a frame with a transparent index.
PixQuad ColourOf(const std::vector<std::uint8_t>* table, int index, bool transparent)
{
    PixQuad c;
    if (table == nullptr || table->empty()) {
        c.red = c.green = c.blue = static_cast<std::uint8_t>(index);
        return c;
    }
    const std::size_t at = 3 * static_cast<std::size_t>(index);
    if (at + 2 >= table->size()) {
        c.red = c.green = c.blue = transparent ? 255 : 0;
        return c;
    }
    c.red = (*table)[at];
    c.green = (*table)[at + 1];
    c.blue = (*table)[at + 2];
    return c;
}

}  // namespace

void CPixGifCanvas::Begin(int width, int height, bool alpha, int background)
{
    m_screen = Screen{width, height, alpha};
    m_state = State();
    m_state.background = background;
    m_saved.clear();
}

bool CPixGifCanvas::Covers(const PixGifFrame& frame, int width, int height)
{
    return frame.left == 0 && frame.top == 0 && frame.width >= width && frame.height >= height && frame.trans < 0;
}

// Drawn as indices, every pixel keeps its colour.
bool CPixGifCanvas::Fits(const PixGifFrame& frame, const std::vector<std::uint8_t>& table, int trans)
{
    static const std::vector<std::uint8_t> kNone;
    const std::vector<std::uint8_t>& own = frame.table != nullptr ? *frame.table : kNone;
    return frame.trans == trans && own.size() <= table.size() && own.empty() == table.empty() &&
           std::equal(own.begin(), own.end(), table.begin());
}

// A palette picture of the frame's table at its depth, filled with its transparent index or 0. A
// covering frame keeps a picture of that size and depth as it is: it sets every pixel itself.
bool CPixGifCanvas::StartIndexed(const PixGifFrame& frame, int bpp)
{
    const int background = m_state.background;
    m_state = State();
    m_state.background = background;
    m_state.trans = frame.trans;
    if (frame.table != nullptr)
        m_state.table = *frame.table;
    m_saved.clear();
    const bool keep = m_picture.HasPixels() && m_picture.Width() == m_screen.width && m_picture.Height() == m_screen.height &&
                      m_picture.Bpp() == bpp && Covers(frame, m_screen.width, m_screen.height);
    if (!keep && m_picture.Create(m_screen.width, m_screen.height, bpp, kPixTypeGif) == nullptr)
        return false;
    // The entries a short table lacks are black, or white in a transparent picture.
    const std::uint32_t entries = static_cast<std::uint32_t>(m_state.table.size() / 3);
    if (entries == 0) {
        m_picture.SetGreyPalette();
    } else {
        m_picture.SetPaletteTriples(m_state.table.data(), entries);
        const std::uint8_t rest = frame.trans >= 0 ? 255 : 0;
        for (std::uint32_t i = entries; i < m_picture.ColorCount(); ++i)
            m_picture.SetPaletteEntry(i, rest, rest, rest, 0);
    }
    m_picture.SetTransparentIndex(frame.trans);
    if (frame.trans > 0)
        m_picture.FillBits(static_cast<std::uint8_t>(frame.trans));
    return true;
}

// The indices so far as their palette's colours, clear for the transparent index where the
// screen has alpha (the palette's reserved bytes become the alpha plane): from here every frame
// is drawn in colour. Dispose has run: nothing is saved.
bool CPixGifCanvas::ToColour()
{
    for (std::uint32_t i = 0; m_screen.alpha && i < m_picture.ColorCount(); ++i) {
        PixQuad c = m_picture.PaletteEntry(i);
        c.reserved = static_cast<int>(i) == m_state.trans ? 0 : 255;
        m_picture.SetPaletteQuad(i, c);
    }
    if (!m_picture.IncreaseBitDepth(24)) {
        m_picture.SetLastError("CPixImage::Create can't allocate memory");
        return false;
    }
    m_state.mode = EMode::kTrueColour;
    return true;
}

bool CPixGifCanvas::Draw(const CPixImage& indices, const PixGifFrame& frame)
{
    if (!m_picture.HasPixels() || Covers(frame, m_screen.width, m_screen.height)) {
        if (!StartIndexed(frame, indices.Bpp()))
            return false;
    } else {
        Dispose();
        if (m_state.mode == EMode::kIndexed && !Fits(frame, m_state.table, m_state.trans) && !ToColour())
            return false;
    }
    const Rect r = Visible(frame);
    m_state.disposal = r.Empty() ? 0 : frame.disposal;
    m_state.pending = r;
    if (m_state.disposal == 3)
        Save(r);
    if (m_state.disposal == 2) {
        // To the background: transparent where the frame has transparency, else the screen's
        // background colour in the frame's table.
        m_state.fillClear = frame.trans >= 0;
        m_state.fillIndex = m_state.fillClear ? frame.trans : m_state.background;
        m_state.fillColour = ColourOf(frame.table, m_state.fillIndex, m_state.fillClear);
    }
    if (r.Empty())
        return true;
    if (m_state.mode == EMode::kIndexed)
        DrawIndexed(indices, frame, r);
    else
        DrawColours(indices, frame, r);
    return true;
}

CPixGifCanvas::Rect CPixGifCanvas::Visible(const PixGifFrame& frame) const
{
    Rect r;
    r.left = std::min(frame.left, m_picture.Width());
    r.top = std::min(frame.top, m_picture.Height());
    r.right = std::min(frame.left + frame.width, m_picture.Width());
    r.bottom = std::min(frame.top + frame.height, m_picture.Height());
    return r;
}

void CPixGifCanvas::Dispose()
{
    if (m_state.disposal == 2)
        Fill(m_state.pending, m_state.fillIndex, m_state.fillColour, m_state.fillClear);
    else if (m_state.disposal == 3)
        Restore();
    m_state.disposal = 0;
    m_saved.clear();
}

void CPixGifCanvas::Save(const Rect& r)
{
    const bool colour = m_state.mode == EMode::kTrueColour;
    const std::size_t per = colour ? 4 : 1;
    m_saved.resize(static_cast<std::size_t>(r.right - r.left) * static_cast<std::size_t>(r.bottom - r.top) * per);
    std::uint8_t* to = m_saved.data();
    const int bpp = m_picture.Bpp();
    for (int y = r.top; y < r.bottom; ++y) {
        const int row = m_picture.Height() - 1 - y;
        const std::uint8_t* from = m_picture.RowPointer(row);
        if (!colour) {
            for (int x = r.left; x < r.right; ++x)
                *to++ = CPixImage::IndexInRow(from, x, bpp);
            continue;
        }
        for (int x = r.left; x < r.right; ++x, to += 4) {
            std::memcpy(to, from + 3 * static_cast<std::size_t>(x), 3);
            to[3] = m_picture.HasAlpha() ? *m_picture.AlphaPointer(x, row) : 255;
        }
    }
}

// What Save kept of the pending rectangle: the mode cannot change in between (Draw disposes of
// the last frame before it turns the picture to colour).
void CPixGifCanvas::Restore()
{
    const Rect& r = m_state.pending;
    const bool colour = m_state.mode == EMode::kTrueColour;
    const std::uint8_t* from = m_saved.data();
    const int bpp = m_picture.Bpp();
    for (int y = r.top; y < r.bottom; ++y) {
        const int row = m_picture.Height() - 1 - y;
        std::uint8_t* to = m_picture.RowPointer(row);
        if (!colour) {
            for (int x = r.left; x < r.right; ++x)
                CPixImage::SetIndexInRow(to, x, bpp, *from++);
            continue;
        }
        for (int x = r.left; x < r.right; ++x, from += 4) {
            std::memcpy(to + 3 * static_cast<std::size_t>(x), from, 3);
            if (m_picture.HasAlpha())
                *m_picture.AlphaPointer(x, row) = from[3];
        }
    }
}

// An index over the rectangle: as it is, or as its colour (clear: with no alpha).
void CPixGifCanvas::Fill(const Rect& r, int index, PixQuad c, bool clear)
{
    if (r.Empty())
        return;
    const std::uint8_t alpha = clear ? 0 : 255;
    const int bpp = m_picture.Bpp();
    for (int y = r.top; y < r.bottom; ++y) {
        const int row = m_picture.Height() - 1 - y;
        std::uint8_t* to = m_picture.RowPointer(row);
        for (int x = r.left; x < r.right; ++x) {
            if (m_state.mode == EMode::kIndexed) {
                CPixImage::SetIndexInRow(to, x, bpp, static_cast<std::uint8_t>(index));
                continue;
            }
            std::uint8_t* p = to + 3 * static_cast<std::size_t>(x);
            p[0] = c.blue;
            p[1] = c.green;
            p[2] = c.red;
        }
        if (m_picture.HasAlpha())
            std::memset(m_picture.AlphaPointer(r.left, row), alpha, static_cast<std::size_t>(r.right - r.left));
    }
}

// Every index but the transparent one lands on the screen. Rows of the same depth are copied
// whole, or byte by byte past the transparent index; other depths go index by index.
void CPixGifCanvas::DrawIndexed(const CPixImage& indices, const PixGifFrame& frame, const Rect& r)
{
    const int trans = frame.trans;
    const int fromBpp = indices.Bpp(), toBpp = m_picture.Bpp();
    const bool bytes = fromBpp == 8 && toBpp == 8;
    const int width = r.right - r.left;
    for (int y = r.top; y < r.bottom; ++y) {
        const std::uint8_t* from = indices.RowPointer(frame.height - 1 - (y - frame.top));
        std::uint8_t* to = m_picture.RowPointer(m_picture.Height() - 1 - y);
        if (!bytes) {
            for (int x = 0; x < width; ++x) {
                const std::uint8_t index = CPixImage::IndexInRow(from, x, fromBpp);
                if (index != trans)
                    CPixImage::SetIndexInRow(to, r.left + x, toBpp, index);
            }
            continue;
        }
        to += r.left;
        if (trans < 0) {
            std::memcpy(to, from, static_cast<std::size_t>(width));
            continue;
        }
        for (int x = 0; x < width; ++x) {
            if (from[x] != trans)
                to[x] = from[x];
        }
    }
}

// Each pixel takes its colour from the frame's own table; what lies under its transparent pixels
// stays.
void CPixGifCanvas::DrawColours(const CPixImage& indices, const PixGifFrame& frame, const Rect& r)
{
    PixQuad colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = ColourOf(frame.table, i, frame.trans >= 0);
    const int bpp = indices.Bpp();
    const int width = r.right - r.left;
    const bool alpha = m_picture.HasAlpha();
    for (int y = r.top; y < r.bottom; ++y) {
        const std::uint8_t* from = indices.RowPointer(frame.height - 1 - (y - frame.top));
        const int row = m_picture.Height() - 1 - y;
        std::uint8_t* to = m_picture.RowPointer(row) + 3 * static_cast<std::size_t>(r.left);
        std::uint8_t* a = alpha ? m_picture.AlphaPointer(r.left, row) : nullptr;
        for (int x = 0; x < width; ++x, to += 3) {
            const std::uint8_t index = CPixImage::IndexInRow(from, x, bpp);
            if (index == frame.trans)
                continue;
            const PixQuad& c = colours[index];
            to[0] = c.blue;
            to[1] = c.green;
            to[2] = c.red;
            if (a != nullptr)
                a[x] = 255;
        }
    }
}

bool CPixGifCanvas::CopyFrom(const CPixGifCanvas& other)
{
    m_picture.CopyFrom(other.m_picture, true, true, true);
    if (!m_picture.HasPixels() || (other.m_picture.HasAlpha() && !m_picture.HasAlpha()))
        return false;
    m_screen = other.m_screen;
    m_state = other.m_state;
    m_saved = other.m_saved;
    return true;
}

bool CPixGifCanvas::TakeFrom(CPixGifCanvas& other)
{
    if (!m_picture.TakeOver(other.m_picture))
        return false;
    m_screen = other.m_screen;
    m_state = other.m_state;
    m_saved.swap(other.m_saved);
    return true;
}

std::uint64_t CPixGifCanvas::HeldBytes() const
{
    const std::uint64_t plane = m_picture.HasAlpha()
                                    ? static_cast<std::uint64_t>(m_picture.Width()) * static_cast<std::uint64_t>(m_picture.Height())
                                    : 0;
    return static_cast<std::uint64_t>(m_picture.DibSize()) + plane + m_saved.size();
}
