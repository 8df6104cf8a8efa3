// CPixImage.h: the image library's in-memory raster image (a bottom-up DIB plus planes).
//
// One heap block holds the 40-byte bitmap information header, the palette (4 bytes per entry:
// blue, green, red, reserved) and the pixel rows, bottom line first, each row padded to 4 bytes.
// Pixels are 1, 4, 8 (indexed) or 24 bits (blue, green, red); alpha lives in an optional plane of
// one byte per pixel, rows bottom-up. y counts from the bottom row everywhere.
//
// Nothing throws: operations fail with false or null and copy a fixed text into LastError().
// A "ghost" only views another image's buffers (the encoders use it) and never frees them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

class CPixStream;

// Format types of the codecs.
constexpr std::uint32_t kPixTypeUnknown = 0;
constexpr std::uint32_t kPixTypeBmp = 1;
constexpr std::uint32_t kPixTypeGif = 2;
constexpr std::uint32_t kPixTypeTga = 3;

// Largest pixel block Create accepts, in bytes.
constexpr std::uint64_t CPIX_MAX_MEMORY = 256000000;

struct PixQuad {  // a colour as the palette stores it
    std::uint8_t blue = 0, green = 0, red = 0, reserved = 0;
};
inline bool operator==(const PixQuad& a, const PixQuad& b)
{
    return a.blue == b.blue && a.green == b.green && a.red == b.red && a.reserved == b.reserved;
}

struct PixRect {   // integer rectangle; which edges are inclusive is said where it is used
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct PixPoint {  // integer point of a polygon
    std::int32_t x = 0, y = 0;
};

// How the sampler reads between pixels. Any value not listed samples bilinearly.
enum InterpolationMode : std::int32_t {
    kInterpNearest = 1,
    kInterpBilinear = 2,
    kInterpBSpline = 3,
    kInterpBicubic = 4,
    kInterpBicubicHalf = 5,   // cubic convolution with a = -0.5
    kInterpLanczos = 6,
    kInterpBox = 7,
    kInterpHermite = 8,
    kInterpHamming = 9,
    kInterpSinc = 10,
    kInterpBlackman = 11,
    kInterpBessel = 12,
    kInterpGaussian = 13,
    kInterpQuadratic = 14,
    kInterpMitchell = 15,
    kInterpCatmullRom = 16,
};

// What a sample outside the picture gives. Any value not listed gives the replacement colour.
enum OverflowMode : std::int32_t {
    kOverflowColor = 0,        // 0 and 1: the replacement colour
    kOverflowBackground = 2,   // the transparent colour
    kOverflowTransparent = 3,  // the replacement colour made fully transparent
    kOverflowWrap = 4,
    kOverflowRepeat = 5,
    kOverflowMirror = 6,
};

class CPixRegion;
class CPixMemoryBlock;
class CPixBitmap;
struct CPixIcon;
class CPixDeviceContext;
struct TextInfo;

// Serialised little-endian, field by field, at the start of the pixel block.
struct PixBitmapHeader {
    std::uint32_t size = 40;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t imageSize = 0;
    std::int32_t xPelsPerMeter = 0;
    std::int32_t yPelsPerMeter = 0;
    std::uint32_t colorsUsed = 0;
    std::uint32_t colorsImportant = 0;
};

// Settings copied as a whole between images (and into a codec before it decodes).
struct PixInfo {
    std::uint32_t rowBytes = 0;
    std::uint32_t type = 0;
    char lastError[256] = {};
    std::int32_t progress = 0;
    std::int32_t escape = 0;            // non-zero stops a codec; -1 asks for the size only
    std::int32_t transIndex = -1;
    PixQuad transColor;
    std::uint8_t quality = 90;
    std::uint8_t optionByte = 0;
    std::int32_t frame = 0;
    std::int32_t frameCount = 0;
    std::uint32_t frameDelay = 0;
    std::int32_t xDpi = 96;
    std::int32_t yDpi = 96;
    std::int32_t selLeft = 0, selTop = 0, selRight = 0, selBottom = 0;
    std::uint8_t alphaMax = 255;
    std::uint8_t alphaInPalette = 0;
    std::uint8_t enabled = 1;
    std::int32_t xOffset = 0;
    std::int32_t yOffset = 0;
    std::uint32_t codecOptions[4] = {};
    PixQuad lastColor;                  // nearest-colour cache
    std::uint8_t lastIndex = 0;
    std::uint8_t lastColorValid = 0;
    std::int32_t layerCount = 0;
    std::uint32_t flags = 0;
};

class CPixImage {
public:
    // ---- Construction ----------------------------------------------------------------------
    explicit CPixImage(std::uint32_t type = kPixTypeUnknown);
    CPixImage(int width, int height, int bpp, std::uint32_t type);
    CPixImage(const CPixImage& source, bool copyPixels, bool copySelection, bool copyAlpha);
    CPixImage(const char* fileName, std::uint32_t type);          // load; HasPixels tells
    CPixImage(std::FILE* file, std::uint32_t type);               // load from the caller's handle
    CPixImage(CPixStream* stream, std::uint32_t type);            // load from a stream
    CPixImage(const std::uint8_t* data, std::size_t size, std::uint32_t type);
    CPixImage(const CPixImage& source);                           // full copy
    CPixImage& operator=(const CPixImage& source);
    virtual ~CPixImage();

    bool FreeBuffers();                                           // false for a ghost

    // ---- Creation and copying --------------------------------------------------------------
    std::uint8_t* Create(int width, int height, int bpp, std::uint32_t type);  // zeroed rows
    bool CopyFromPixelArray(const std::uint8_t* pixels, int width, int height, int bpp,
                            std::uint32_t rowBytes, bool flip);
    bool CopyFromRowPointers(const std::uint8_t* const* rows, int width, int height, int bpp,
                             std::uint32_t rowBytes, bool flip);
    // Fills this 24-bit image from 16-bit pixels with colour masks (blue in the lowest bits)
    // or from 32-bit pixels; source rows are 4-byte aligned, height of them. With `rows` at 0 or
    // more only the first that many rows are filled (the others are left as they are).
    void UnpackBitfields(const std::uint8_t* source, std::uint32_t redMask, std::uint32_t greenMask,
                         std::uint32_t blueMask, int sourceBpp, int rows = -1);
    void CopyFrom(const CPixImage& source, bool copyPixels, bool copySelection, bool copyAlpha);
    void CopyInfo(const CPixImage& source);                       // only while empty
    bool TakeOver(CPixImage& source);                             // moves the picture out of source
    void ShareBuffers(const CPixImage& source);                   // becomes a ghost of source

    // ---- Accessors -------------------------------------------------------------------------
    int Width() const { return m_header.width; }
    int Height() const { return m_header.height; }
    int Bpp() const { return m_header.bitCount; }
    std::uint32_t ColorCount() const { return m_header.colorsUsed; }
    bool IsIndexed() const { return m_header.colorsUsed != 0; }
    std::uint32_t RowBytes() const { return m_info.rowBytes; }
    std::uint32_t Type() const { return m_info.type; }
    std::uint8_t* DibPointer() const { return m_pDib; }
    bool HasPixels() const { return m_pDib != nullptr; }
    std::size_t DibSize() const;
    std::uint8_t* RowPointer(int row) const;
    bool IsInside(int x, int y) const;
    int ColorKind() const;
    const char* LastError() const { return m_info.lastError; }
    void SetLastError(const char* text);
    const PixBitmapHeader& Header() const { return m_header; }

    int Progress() const { return m_info.progress; }
    void SetProgress(int value) { m_info.progress = value; }
    int Escape() const { return m_info.escape; }
    void SetEscape(int value) { m_info.escape = value; }
    int TransparentIndex() const { return m_info.transIndex; }
    void SetTransparentIndex(int index) { m_info.transIndex = index; }
    bool IsTransparent() const { return m_info.transIndex >= 0; }
    void SetTransparentColor(PixQuad color);
    PixQuad TransparentColor() const;
    std::uint8_t Quality() const { return m_info.quality; }
    void SetQuality(std::uint8_t value) { m_info.quality = value; }
    std::uint8_t OptionByte() const { return m_info.optionByte; }
    void SetOptionByte(std::uint8_t value) { m_info.optionByte = value; }
    int Frame() const { return m_info.frame; }
    void SetFrame(int frame) { m_info.frame = frame; }
    int FrameCount() const { return m_info.frameCount; }
    std::uint32_t FrameDelay() const { return m_info.frameDelay; }
    void SetFrameDelay(std::uint32_t delay) { m_info.frameDelay = delay; }
    int XDpi() const { return m_info.xDpi; }
    int YDpi() const { return m_info.yDpi; }
    void SetXDpi(int dpi);
    void SetYDpi(int dpi);
    void Offset(int* x, int* y) const;
    void SetOffset(int x, int y) { m_info.xOffset = x; m_info.yOffset = y; }
    std::uint32_t CodecOption(std::uint32_t type = 0) const;
    bool SetCodecOption(std::uint32_t value, std::uint32_t type = 0);
    std::uint32_t Flags() const { return m_info.flags; }
    void SetFlags(std::uint32_t flags, bool lowOnly);
    std::uint8_t AlphaMax() const { return m_info.alphaMax; }
    void SetAlphaMax(std::uint8_t value) { m_info.alphaMax = value; }
    bool AlphaInPalette() const { return m_info.alphaInPalette != 0; }
    void SetAlphaInPalette(bool value) { m_info.alphaInPalette = value ? 1 : 0; }
    bool IsEnabled() const { return m_info.enabled != 0; }
    void Enable(bool value) { m_info.enabled = value ? 1 : 0; }
    static const char* VersionText() { return "CPixImage 5.99c"; }
    static float VersionNumber() { return 5.99003f; }
    void FillBits(std::uint8_t value);
    static void FreeMemory(void* block);
    int LayerCount() const { return m_info.layerCount; }

    // ---- Alpha plane -----------------------------------------------------------------------
    void MakeAlphaPlane();
    bool HasAlpha() const { return m_pAlpha != nullptr; }
    void DeleteAlphaPlane();
    void ClearAlpha() { FillAlpha(0); }
    void FillAlpha(std::uint8_t level);
    void InvertAlpha();
    void SetAlphaAt(int x, int y, std::uint8_t level);
    std::uint8_t AlphaAt(int x, int y) const;
    std::uint8_t AlphaAtUnchecked(int x, int y) const;
    std::uint8_t* AlphaPointer(int x, int y) const;
    bool CopyAlphaFrom(const CPixImage& source);
    bool AlphaFromGreyImage(const CPixImage& source);
    bool FlipAlpha();
    bool MirrorAlpha();
    bool AlphaToImage(CPixImage* target) const;
    bool PaletteAlphaToImage(CPixImage* target) const;            // needs PaletteHasAlpha
    void ClearPaletteAlpha();
    bool PaletteHasAlpha() const;                                 // any reserved byte non-zero
    bool FlattenAlpha();                                          // over the transparent colour; false when nothing to do

    // ---- Palette ---------------------------------------------------------------------------
    PixQuad* PalettePointer() const;
    std::uint32_t PaletteBytes() const { return 4 * m_header.colorsUsed; }
    PixQuad PaletteEntry(std::uint32_t index) const;
    bool PaletteEntryParts(std::uint32_t index, std::uint8_t* red, std::uint8_t* green, std::uint8_t* blue) const;
    void SetPaletteEntry(std::uint32_t index, std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                         std::uint8_t alpha = 0);
    void SetPaletteQuad(std::uint32_t index, PixQuad quad);
    void SetPaletteRgb(std::uint32_t index, std::uint32_t packed);
    void SetPaletteArrays(std::uint32_t count, const std::uint8_t* red, const std::uint8_t* green,
                          const std::uint8_t* blue);
    void SetPaletteTriples(const std::uint8_t* triples, std::uint32_t count);  // red, green, blue
    void SetPalette(const PixQuad* quads, std::uint32_t count);
    void SetGreyPalette();
    void SetStandardPalette();                                    // VGA colours at 4 bits, colour cube and greys at 8
    void BlendPalette(std::uint32_t packed, int percent);
    bool IsGreyPalette() const;
    bool IsSamePalette(const CPixImage& other, bool compareAlpha) const;
    void SwapIndex(std::uint8_t a, std::uint8_t b);
    std::uint32_t ImportantColors() const { return m_header.colorsImportant; }
    void SetImportantColors(std::uint32_t count);
    std::uint8_t NearestIndex(PixQuad color);
    static PixQuad RgbToQuad(std::uint32_t packed);
    static std::uint32_t QuadToRgb(PixQuad quad);

    // ---- Pixels ----------------------------------------------------------------------------
    std::uint8_t PixelIndex(int x, int y) const;
    std::uint8_t PixelIndexUnchecked(int x, int y) const;
    // The index at x of a row of a palette picture of `bpp` bits (0 at other depths), and its
    // setting: for loops that walk a row and would not find it again for every pixel.
    static std::uint8_t IndexInRow(const std::uint8_t* row, int x, int bpp)
    {
        switch (bpp) {
        case 8: return row[x];
        case 4: return static_cast<std::uint8_t>((row[x >> 1] >> ((x & 1) != 0 ? 0 : 4)) & 15);
        case 1: return static_cast<std::uint8_t>((row[x >> 3] >> (7 - (x & 7))) & 1);
        default: return 0;
        }
    }
    static void SetIndexInRow(std::uint8_t* row, int x, int bpp, std::uint8_t index)
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
        case 1: {
            const int shift = 7 - (x & 7);
            row[x >> 3] = static_cast<std::uint8_t>((row[x >> 3] & ~(1 << shift)) | ((index & 1) << shift));
            break;
        }
        default:
            break;
        }
    }
    PixQuad PixelColor(int x, int y, bool withAlpha = true) const;
    PixQuad PixelColorUnchecked(int x, int y) const;
    std::uint8_t GreyLevelAt(int x, int y) const;
    void SetPixelIndex(int x, int y, std::uint8_t index);
    void SetPixelColor(int x, int y, PixQuad color, bool setAlpha = false);
    void SetPixelColor(int x, int y, std::uint32_t packed);
    void BlendPixelColor(int x, int y, PixQuad color, float blend, bool setAlpha = false);
    std::uint8_t* PixelPointer(int x, int y) const;
    bool IsTransparentAt(int x, int y) const;
    void DrawLine(int x1, int x2, int y1, int y2, std::uint32_t packed);
    void SwapRedBlue(std::uint8_t* buffer, std::size_t length) const;
    static int CompareGreyLevels(PixQuad a, PixQuad b);
    static std::uint8_t GreyLevel(PixQuad color)
    {
        return static_cast<std::uint8_t>((color.blue * 117 + color.green * 601 + color.red * 306) >> 10);
    }

    // ---- Flip and mirror -------------------------------------------------------------------
    bool FlipVertical();
    bool MirrorHorizontal();

    // ---- Layers (owned child images) -------------------------------------------------------
    // Positions below 0 mean the last layer (CreateLayer: the end, as does one past the count).
    CPixImage* Parent() const { return m_pParent; }
    bool CreateLayer(int position = -1);
    bool DeleteLayer(int position = -1);
    void DeleteAllLayers();
    CPixImage* Layer(int position) const;

    // ---- Selection (one byte per pixel, rows bottom-up, non-zero selected) -------------------
    // The box's right and top are exclusive; with no plane every pixel counts as selected.
    bool CreateSelection();
    void DeleteSelection();
    bool ClearSelection();
    bool HasSelection() const { return m_pSelection != nullptr; }
    bool IsSelected(int x, int y) const;
    void SelectionBox(PixRect& box) const;
    bool InvertSelection();
    bool CopySelectionFrom(const CPixImage& other);
    bool SelectRect(int x1, int y1, int x2, int y2);
    bool SelectEllipse(int x1, int y1, int x2, int y2);
    bool SelectPolygon(const PixPoint* points, int count);
    bool SelectColor(PixQuad color);
    bool SelectPixel(int x, int y);
    bool SelectionToImage(CPixImage* target) const;           // 8-bit grey image of the plane
    bool SelectionToRegion(CPixRegion* region) const;         // runs of 255, stored row numbers

    // ---- Sampling at real-valued points -----------------------------------------------------
    // Pixel (i, j) covers i - 0.5 .. i + 0.5. A null replacement means white with alpha 0.
    void ApplyOverflow(int& x, int& y, OverflowMode mode) const;
    void ApplyOverflow(float& x, float& y, OverflowMode mode) const;
    PixQuad PixelColorBeyond(int x, int y, OverflowMode mode, const PixQuad* replacement) const;
    PixQuad SampleAt(float x, float y, InterpolationMode method, OverflowMode mode,
                     const PixQuad* replacement = nullptr) const;
    PixQuad SampleArea(float x, float y, float width, float height, InterpolationMode method,
                       OverflowMode mode, const PixQuad* replacement = nullptr) const;
    static void AddWeightedColor(PixQuad color, float weight, float& red, float& green, float& blue,
                                 float& alpha);

    // ---- Rotation and remapping (a null destination means this image) ----------------------
    bool RotateQuarterLeft(CPixImage* destination = nullptr);
    bool RotateQuarterRight(CPixImage* destination = nullptr);
    bool RotateHalfTurn(CPixImage* destination = nullptr);
    bool RotateNearest(float degrees, CPixImage* destination = nullptr);  // positive turns clockwise
    bool RotateInterpolated(float degrees, CPixImage* destination, InterpolationMode method,
                            OverflowMode mode, const PixQuad* replacement, bool optimiseRightAngles,
                            bool keepSize);
    bool Shear(float xGain, float yGain, int xPivot, int yPivot, bool interpolate);
    bool RadialDistort(int kind, int radius, float factor);

    // ---- Resizing, cropping and canvas -----------------------------------------------------
    // Resize modes: 1 nearest, 2 cubic B-spline, others bilinear (24-bit shrinks: area mean).
    bool Resize(int newWidth, int newHeight, int mode, CPixImage* destination = nullptr);
    bool ResizeInterpolated(int newWidth, int newHeight, InterpolationMode method, OverflowMode mode,
                            CPixImage* destination = nullptr, bool noAveraging = false);
    bool QIShrink(int newWidth, int newHeight, CPixImage* destination = nullptr);
    // Crop coordinates count from the top row, right and bottom exclusive.
    bool CropRect(int left, int top, int right, int bottom, CPixImage* destination = nullptr);
    bool CropRect(const PixRect& rect, CPixImage* destination = nullptr);
    bool CropRotated(int left, int top, int width, int height, float radians, CPixImage* destination = nullptr);
    bool ExpandBorders(int left, int top, int right, int bottom, PixQuad canvas, CPixImage* destination = nullptr);
    bool ExpandTo(int newWidth, int newHeight, PixQuad canvas, CPixImage* destination = nullptr);
    bool FitThumbnail(int newWidth, int newHeight, PixQuad canvas, CPixImage* destination = nullptr);

    // ---- Bit depth and dithering -----------------------------------------------------------
    bool ToGreyScale();
    bool IncreaseBitDepth(int bits);                                     // 4, 8 or 24
    bool DecreaseBitDepth(int bits, bool errorDiffusion, const PixQuad* palette = nullptr,
                          std::uint32_t importantColors = 0);
    // 0 Floyd-Steinberg, 1 ordered 4 x 4, 2 Burkes, 3 Stucki, 4 Jarvis-Judice-Ninke, 5 Sierra,
    // 6 Stevenson-Arce, 7 ordered (order 4); others as 0.
    bool DitherToMonochrome(int method);
    bool ToMonochrome(std::uint8_t level);

    // ---- Channels and colour spaces (spaces: see CPixColorSpace.h) ---------------------------
    // Splits give 8-bit grey images with the grey palette, one per output given.
    bool SplitRgb(CPixImage* red, CPixImage* green, CPixImage* blue) const;
    bool SplitYuv(CPixImage* y, CPixImage* u, CPixImage* v) const;
    bool SplitYiq(CPixImage* y, CPixImage* i, CPixImage* q) const;
    bool SplitXyz(CPixImage* x, CPixImage* y, CPixImage* z) const;
    bool SplitHsl(CPixImage* hue, CPixImage* saturation, CPixImage* lightness) const;
    bool SplitCmyk(CPixImage* cyan, CPixImage* magenta, CPixImage* yellow, CPixImage* black) const;
    // Rebuilds this image (24 bits) from channel images, which are resized to the first's size.
    bool CombineChannels(CPixImage* first, CPixImage* second, CPixImage* third, CPixImage* alpha, std::int32_t space);
    bool SmoothByCurvature(float radius, int iterations, std::int32_t space);
    bool SmoothChannel(CPixImage* channel, float radius);
    void SetHuePalette(float correction);
    bool Tint(std::uint8_t hue, std::uint8_t saturation, float blend);
    bool InvertColors();

    // ---- Filters (act on the selected pixels of the selection box) --------------------------
    bool ApplyLut(const std::uint8_t* table);                            // 256 entries
    bool ApplyLutRgba(const std::uint8_t* red, const std::uint8_t* green, const std::uint8_t* blue,
                      const std::uint8_t* alpha = nullptr);
    bool BrightnessContrast(int brightness, int contrastPercent);
    bool GammaCorrect(float gamma);
    bool ShiftChannels(int red, int green, int blue);
    bool RemoveRedEye();
    bool AddNoise(int level);
    bool Convolve(const int* kernel, int size, int divisor, int offset);  // size x size weights
    bool ErodeFilter(int size);
    bool DilateFilter(int size);
    bool EdgeFilter(int size);
    bool MiddleRankFilter(int size);
    bool ContourFilter();
    bool JitterFilter(int radius);
    void PasteOpaque(const CPixImage& source, int dx, int dy);
    // 0 add, 1 and, 2 xor, 3 or, 4 source black to transparent, 5 fill transparent, 6 source
    // over, 7 subtract, 8 soft fill, 9 alpha blend.
    void MixImage(const CPixImage& source, int op, int dx, int dy, bool mixAlpha);
    bool UnsharpMask(float radius, float amount, int threshold);
    // 8-bit grey images in and out (this image is not used); dir 1 forward, -1 inverse.
    static bool FourierTransform(CPixImage* sourceRe, CPixImage* sourceIm, CPixImage* destRe, CPixImage* destIm,
                                 int dir, bool forcePowersOfTwo, bool magnitude);
    float MeanGreyLevel() const;

    // ---- Histogram -------------------------------------------------------------------------
    // Counts into the arrays given (256 entries each); returns the largest count.
    int Histogram(std::int32_t* red, std::int32_t* green, std::int32_t* blue, std::int32_t* grey,
                  std::int32_t space = 0) const;
    bool StretchLevels(int method);  // 1 channels linked, 2 independent, others luminance
    bool EqualizeLevels();
    bool NormalizeLevels();
    bool LogLevels();
    bool RootLevels();

    // ---- Drawing bridge (our in-memory stand-ins for Windows handles and contexts) ---------
    CPixMemoryBlock* CopyToHandle();                                     // a packed DIB; caller deletes
    bool CreateFromHANDLE(CPixMemoryBlock* block);                       // read as the BMP reader reads a bare DIB
    CPixBitmap* MakeBitmap(CPixDeviceContext* dc) const;                 // caller deletes
    bool CreateFromHBITMAP(const CPixBitmap* bitmap, const PixQuad* palette = nullptr);
    bool CreateFromHICON(const CPixIcon* icon);                          // the mask becomes alpha
    // Context coordinates run top-down; a width or height of -1 means the image's own.
    int Draw(CPixDeviceContext* dc, int x, int y, int width = -1, int height = -1, const PixRect* clip = nullptr,
             bool smooth = false);
    int Draw(CPixDeviceContext* dc, const PixRect& target, const PixRect* clip = nullptr, bool smooth = false);
    int DrawTransparent(CPixDeviceContext* dc, int x, int y, int width = -1, int height = -1);
    int DrawTransparent(CPixDeviceContext* dc, const PixRect& target);
    int Stretch(CPixDeviceContext* dc, int x, int y, int width, int height, std::uint32_t rop);
    int Stretch(CPixDeviceContext* dc, const PixRect& target, std::uint32_t rop);
    int Tile(CPixDeviceContext* dc, const PixRect& area);
    // Text into this image: the text box's left column at x and its bottom row on top-down
    // row y. Colours are COLORREFs (red in the low byte); size is the character height in
    // pixels. Faces are drawn with the DejaVu family from FontFolder().
    int DrawString(CPixDeviceContext* dc, int x, int y, const char* text, std::uint32_t color, const char* face,
                   int size, int weight, bool italic, bool underline, bool setAlpha);
    int DrawStringEx(CPixDeviceContext* dc, int x, int y, const TextInfo& info, bool setAlpha);
    static void InitTextInfo(TextInfo& info);
    static void SetFontFolder(const char* folder);
    static const char* FontFolder();

    // ---- Load and save ---------------------------------------------------------------------
    bool ReadFromFile(const char* fileName, std::uint32_t type);
    bool DecodeFromHandle(std::FILE* file, std::uint32_t type);
    bool DecodeFromMemory(const std::uint8_t* data, std::size_t size, std::uint32_t type);
    bool DecodeFromStream(CPixStream* stream, std::uint32_t type);
    // An image built into the program: a block of bytes the caller holds (null: not there).
    bool ReadFromResource(const std::uint8_t* data, std::size_t size, std::uint32_t type);
    bool WriteToFile(const char* fileName, std::uint32_t type);
    bool EncodeToHandle(std::FILE* file, std::uint32_t type);
    bool EncodeToMemory(std::uint8_t** buffer, std::size_t* size, std::uint32_t type);
    bool EncodeToStream(CPixStream* stream, std::uint32_t type);
    bool EncodeFramesToHandle(std::FILE* file, CPixImage** images, int count, std::uint32_t type);
    bool EncodeFramesToStream(CPixStream* stream, CPixImage** images, int count, std::uint32_t type);
    bool EncodeRgbaToMemory(std::uint8_t** buffer, std::size_t* size);
    bool EncodeRgbaToStream(CPixStream* stream);
    bool CheckEncodeTarget(CPixStream* stream);                   // true when encoding cannot start

protected:
    // As Create, for a caller that writes every pixel byte of the rows itself (the row padding,
    // header and palette are zeroed); saves zeroing a picture only to write it over.
    std::uint8_t* CreateForFill(int width, int height, int bpp, std::uint32_t type);
    void ResetSelection();
    void WriteHeaderBytes();
    // An empty image shaped like this one (information, bit count, type, palette) at a new size;
    // forFill as CreateForFill.
    bool BuildLike(CPixImage& out, int width, int height, bool forFill = false) const;
    // Moves a built image into the destination or, when it is null, into this image, whose
    // layers stay with it.
    bool HandOver(CPixImage& built, CPixImage* destination);
    void ReportRow(int row, int rows) { m_info.progress = rows > 0 ? static_cast<int>(static_cast<long long>(row) * 100 / rows) : 0; }
    PixRect SelectionArea() const;                                       // box, or the whole image
    bool ExtendBox(int left, int top, int right, int bottom);            // clamped, grows only
    bool SelectByMask(const std::uint8_t* inside, const PixRect& box);   // used by SelectPolygon
    // An empty image of this size at another depth, with information, selection and alpha.
    bool BuildLikeAtDepth(CPixImage& out, int bits) const;
    void DiffuseColorError(int x, int y, PixQuad wanted, PixQuad stored);
    bool TurnQuarter(bool clockwise, CPixImage* destination);
    // The index (or colour) and alpha of source pixel (sx, sy) into out's (x, y); outside
    // reads give the transparent colour and alpha 0.
    void CopyPixelTo(CPixImage& out, int x, int y, int sx, int sy) const;
    // A sampled colour into this image: true colour as it is with its alpha, indexed through
    // the nearest entry (with alpha when indexedAlpha).
    void StoreSample(int x, int y, PixQuad color, bool indexedAlpha);
    bool CopiedAtSameSize(int newWidth, int newHeight, CPixImage* destination) const;  // true: done
    bool SplitInSpace(CPixImage* first, CPixImage* second, CPixImage* third, std::int32_t space) const;
    // Runs fn(x, y) on every selected pixel of the selection area, rows bottom-up, with
    // progress per row; a non-zero escape ends it.
    template <typename Fn>
    void ForEachSelected(Fn fn)
    {
        const PixRect area = SelectionArea();
        for (int y = area.bottom; y < area.top && m_info.escape == 0; ++y) {
            ReportRow(y, Height());
            for (int x = area.left; x < area.right; ++x) {
                if (IsSelected(x, y))
                    fn(x, y);
            }
        }
    }
    // A filter writes each selected pixel into a copy that replaces this image at the end.
    template <typename Filter>
    bool FilterInto(Filter filter);
    void ReportSpan(int row, int rows, int from, int to);
    bool RemapLuminance(const std::uint8_t (&map)[256]);
    bool CountGreyLevels(std::int64_t (&count)[256]);
    int HighestGreyLevel();
    bool StretchChannels(bool independent);
    bool StretchLuminance();
    PixQuad DrawSample(int tx, int ty, const PixRect& target, bool smooth) const;
    void PaintTextPixel(int x, int y, int boxHeight, int column, int row, PixQuad color, bool setAlpha);
    void PaintTextBackground(int x, int y, int width, int height, const TextInfo& info, bool setAlpha);
    void ResizeBSpline(CPixImage& out, float xScale, float yScale);
    void ResizeBilinear(CPixImage& out, float xScale, float yScale);
    bool ShrinkByArea(CPixImage& out, float xScale, float yScale);

    PixBitmapHeader m_header;
    PixInfo m_info;
    std::uint8_t* m_pDib = nullptr;          // header + palette + rows, owned unless a ghost
    std::uint8_t* m_pBits = nullptr;         // first pixel row inside m_pDib
    const CPixImage* m_pGhostSource = nullptr;
    CPixImage* m_pParent = nullptr;
    std::uint8_t* m_pSelection = nullptr;
    std::uint8_t* m_pAlpha = nullptr;
    CPixImage** m_ppLayers = nullptr;

private:
    std::uint8_t* Allocate(int width, int height, int bpp, std::uint32_t type, bool zeroRows);
};
