// CPixGifCanvas.cpp: frames drawn over the screen, and disposed of before the next one.
#include "image/CPixGifCanvas.h"

#include <algorithm>
#include <cstring>

namespace {

std::uint8_t IndexIn(const std::uint8_t* row, int x, int bpp)
{
    switch (bpp) {
    case 8: return row[x];
    case 4: return static_cast<std::uint8_t>((row[x >> 1] >> ((x & 1) != 0 ? 0 : 4)) & 15);
    default: return static_cast<std::uint8_t>((row[x >> 3] >> (7 - (x & 7))) & 1);
    }
}

void PutIndex(std::uint8_t* row, int x, int bpp, std::uint8_t index)
{
    switch (bpp) {
    case 8:
        row[x] = index;
        break;
    case 4: {
        const int shift = (x & 1) != 0 ? 0 : 4;
        row[x >> 1] = static_cast<std::uint8_t>((row[x >> 1] & ~(15 << shift)) | ((index & 15) << shift));
        break;
    }
    default: {
        const int shift = 7 - (x & 7);
        row[x >> 3] = static_cast<std::uint8_t>((row[x >> 3] & ~(1 << shift)) | ((index & 1) << shift));
        break;
    }
    }
}

// A table's colour of an index; a file without any table is read as grey levels, and an index
// past the end of its table as black.
PixQuad ColourOf(const std::vector<std::uint8_t>* table, int index)
{
    PixQuad c;
    if (table == nullptr || table->empty()) {
        c.red = c.green = c.blue = static_cast<std::uint8_t>(index);
        return c;
    }
    const std::size_t at = 3 * static_cast<std::size_t>(index);
    if (at + 2 < table->size()) {
        c.red = (*table)[at];
        c.green = (*table)[at + 1];
        c.blue = (*table)[at + 2];
    }
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

// A frame that covers the screen with no transparent index leaves nothing of the frames before.
bool CPixGifCanvas::Covers(const PixGifFrame& frame) const
{
    return frame.left == 0 && frame.top == 0 && frame.width >= m_screen.width && frame.height >= m_screen.height && frame.trans < 0;
}

// Drawn as indices, every pixel keeps its colour: the frame's table is the picture's, or a part of
// it, and its transparent index the same.
bool CPixGifCanvas::Fits(const PixGifFrame& frame) const
{
    static const std::vector<std::uint8_t> kNone;
    const std::vector<std::uint8_t>& table = frame.table != nullptr ? *frame.table : kNone;
    const std::vector<std::uint8_t>& own = m_state.table;
    return frame.trans == m_state.trans && table.size() <= own.size() && table.empty() == own.empty() &&
           std::equal(table.begin(), table.end(), own.begin());
}

// A palette picture of the frame's table at its depth, filled with its transparent index or 0.
bool CPixGifCanvas::StartIndexed(const PixGifFrame& frame, int bpp)
{
    const int background = m_state.background;
    m_state = State();
    m_state.background = background;
    m_state.trans = frame.trans;
    m_state.table = frame.table != nullptr ? *frame.table : std::vector<std::uint8_t>();
    m_saved.clear();
    if (m_picture.Create(m_screen.width, m_screen.height, bpp, kPixTypeGif) == nullptr)
        return false;
    // A transparent picture gets white for the entries its table lacks.
    for (std::uint32_t i = 0; i < m_picture.ColorCount(); ++i) {
        const bool beyond = !m_state.table.empty() && 3 * i >= m_state.table.size();
        if (beyond && frame.trans < 0)
            break;
        const PixQuad c = beyond ? PixQuad{255, 255, 255, 0} : ColourOf(&m_state.table, static_cast<int>(i));
        m_picture.SetPaletteEntry(i, c.red, c.green, c.blue, 0);
    }
    m_picture.SetTransparentIndex(frame.trans);
    if (frame.trans > 0)
        m_picture.FillBits(static_cast<std::uint8_t>(frame.trans));
    return true;
}

// The indices so far as their colours (clear for the transparent index), and a rectangle kept for
// disposal likewise: from here every frame is drawn in colour.
bool CPixGifCanvas::ToColour()
{
    CPixImage colour(kPixTypeGif);
    if (colour.Create(m_screen.width, m_screen.height, 24, kPixTypeGif) == nullptr) {
        m_picture.SetLastError(colour.LastError());
        return false;
    }
    if (m_screen.alpha)
        colour.MakeAlphaPlane();
    const int bpp = m_picture.Bpp();
    for (int row = 0; row < m_screen.height; ++row) {
        const std::uint8_t* from = m_picture.RowPointer(row);
        std::uint8_t* to = colour.RowPointer(row);
        std::uint8_t* a = colour.HasAlpha() ? colour.AlphaPointer(0, row) : nullptr;
        for (int x = 0; x < m_screen.width; ++x, to += 3) {
            const int index = IndexIn(from, x, bpp);
            const PixQuad c = ColourOf(&m_state.table, index);
            to[0] = c.blue;
            to[1] = c.green;
            to[2] = c.red;
            if (a != nullptr)
                a[x] = index == m_state.trans ? 0 : 255;
        }
    }
    std::vector<std::uint8_t> saved;
    for (const std::uint8_t index : m_saved) {
        const PixQuad c = ColourOf(&m_state.table, index);
        saved.insert(saved.end(), {c.blue, c.green, c.red, static_cast<std::uint8_t>(index == m_state.trans ? 0 : 255)});
    }
    m_saved.swap(saved);
    m_state.mode = EMode::kTrueColour;
    return m_picture.TakeOver(colour);
}

bool CPixGifCanvas::Draw(const CPixImage& indices, const PixGifFrame& frame, int bpp)
{
    if (!m_picture.HasPixels() || Covers(frame)) {
        if (!StartIndexed(frame, bpp))
            return false;
    } else {
        Dispose();
        if (m_state.mode == EMode::kIndexed && !Fits(frame) && !ToColour())
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
        m_state.fillTable = frame.table != nullptr ? *frame.table : std::vector<std::uint8_t>();
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
        Fill(m_state.pending, m_state.fillIndex, &m_state.fillTable, m_state.fillClear);
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
                *to++ = IndexIn(from, x, bpp);
            continue;
        }
        for (int x = r.left; x < r.right; ++x, to += 4) {
            std::memcpy(to, from + 3 * static_cast<std::size_t>(x), 3);
            to[3] = m_picture.HasAlpha() ? *m_picture.AlphaPointer(x, row) : 255;
        }
    }
}

void CPixGifCanvas::Restore()
{
    const Rect& r = m_state.pending;
    const bool colour = m_state.mode == EMode::kTrueColour;
    const std::size_t per = colour ? 4 : 1;
    if (m_saved.size() != static_cast<std::size_t>(r.right - r.left) * static_cast<std::size_t>(r.bottom - r.top) * per)
        return;
    const std::uint8_t* from = m_saved.data();
    const int bpp = m_picture.Bpp();
    for (int y = r.top; y < r.bottom; ++y) {
        const int row = m_picture.Height() - 1 - y;
        std::uint8_t* to = m_picture.RowPointer(row);
        if (!colour) {
            for (int x = r.left; x < r.right; ++x)
                PutIndex(to, x, bpp, *from++);
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
void CPixGifCanvas::Fill(const Rect& r, int index, const std::vector<std::uint8_t>* table, bool clear)
{
    if (r.Empty())
        return;
    const PixQuad c = ColourOf(table, index);
    const std::uint8_t alpha = clear ? 0 : 255;
    const int bpp = m_picture.Bpp();
    for (int y = r.top; y < r.bottom; ++y) {
        const int row = m_picture.Height() - 1 - y;
        std::uint8_t* to = m_picture.RowPointer(row);
        for (int x = r.left; x < r.right; ++x) {
            if (m_state.mode == EMode::kIndexed) {
                PutIndex(to, x, bpp, static_cast<std::uint8_t>(index));
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
                const std::uint8_t index = IndexIn(from, x, fromBpp);
                if (index != trans)
                    PutIndex(to, r.left + x, toBpp, index);
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
        colours[i] = ColourOf(frame.table, i);
    const int bpp = indices.Bpp();
    const int width = r.right - r.left;
    const bool alpha = m_picture.HasAlpha();
    for (int y = r.top; y < r.bottom; ++y) {
        const std::uint8_t* from = indices.RowPointer(frame.height - 1 - (y - frame.top));
        const int row = m_picture.Height() - 1 - y;
        std::uint8_t* to = m_picture.RowPointer(row) + 3 * static_cast<std::size_t>(r.left);
        std::uint8_t* a = alpha ? m_picture.AlphaPointer(r.left, row) : nullptr;
        for (int x = 0; x < width; ++x, to += 3) {
            const std::uint8_t index = IndexIn(from, x, bpp);
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
