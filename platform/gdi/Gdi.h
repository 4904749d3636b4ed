// The graphics layer: device contexts, pens, brushes, fonts, bitmaps, regions, raster
// operations, text output, 3-D edges and frame controls, system colours and metrics.
// Functions, structures and constants carry the platform's names and numeric values.
//
// Pixel rules: right and bottom edges of rectangles are exclusive; lines exclude their end
// point; regions and clipping are in device coordinates. Pixels are 32-bit 0xAARRGGBB
// (blue in the lowest byte, as the platform's 32-bit DIB memory); drawing calls write the
// alpha byte as 0, AlphaBlend reads it as premultiplied per-pixel alpha (see Surface.h).
#pragma once

#include <vector>

#include "gdi/Surface.h"
#include "gdi/WinDef.h"
#include "rtl/Math.h"  // MulDiv

// ---- constants -----------------------------------------------------------------------------

constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
constexpr COLORREF CLR_NONE = 0xFFFFFFFF;
constexpr COLORREF CLR_DEFAULT = 0xFF000000;
constexpr DWORD GDI_ERROR = 0xFFFFFFFF;
#define HGDI_ERROR (reinterpret_cast<HGDIOBJ>(intptr_t(-1)))

// Object types (GetObjectType).
constexpr DWORD OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_DC = 3, OBJ_METADC = 4, OBJ_PAL = 5, OBJ_FONT = 6,
                OBJ_BITMAP = 7, OBJ_REGION = 8, OBJ_METAFILE = 9, OBJ_MEMDC = 10, OBJ_EXTPEN = 11;

// Stock objects.
constexpr int WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3, BLACK_BRUSH = 4,
              NULL_BRUSH = 5, HOLLOW_BRUSH = 5, WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8,
              OEM_FIXED_FONT = 10, ANSI_FIXED_FONT = 11, ANSI_VAR_FONT = 12, SYSTEM_FONT = 13,
              DEVICE_DEFAULT_FONT = 14, DEFAULT_PALETTE = 15, SYSTEM_FIXED_FONT = 16,
              DEFAULT_GUI_FONT = 17, DC_BRUSH = 18, DC_PEN = 19;

// Background modes.
constexpr int TRANSPARENT = 1, OPAQUE = 2;

// Binary raster operations (SetROP2).
constexpr int R2_BLACK = 1, R2_NOTMERGEPEN = 2, R2_MASKNOTPEN = 3, R2_NOTCOPYPEN = 4,
              R2_MASKPENNOT = 5, R2_NOT = 6, R2_XORPEN = 7, R2_NOTMASKPEN = 8, R2_MASKPEN = 9,
              R2_NOTXORPEN = 10, R2_NOP = 11, R2_MERGENOTPEN = 12, R2_COPYPEN = 13,
              R2_MERGEPENNOT = 14, R2_MERGEPEN = 15, R2_WHITE = 16;

// Ternary raster operations: bits 16..23 are the truth table over pattern, source, dest.
constexpr DWORD SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6,
                SRCINVERT = 0x00660046, SRCERASE = 0x00440328, NOTSRCCOPY = 0x00330008,
                NOTSRCERASE = 0x001100A6, MERGECOPY = 0x00C000CA, MERGEPAINT = 0x00BB0226,
                PATCOPY = 0x00F00021, PATPAINT = 0x00FB0A09, PATINVERT = 0x005A0049,
                DSTINVERT = 0x00550009, BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062;

// Pen styles.
constexpr DWORD PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4,
                PS_NULL = 5, PS_INSIDEFRAME = 6, PS_USERSTYLE = 7, PS_ALTERNATE = 8,
                PS_STYLE_MASK = 0x0000000F, PS_ENDCAP_ROUND = 0, PS_ENDCAP_SQUARE = 0x100,
                PS_ENDCAP_FLAT = 0x200, PS_ENDCAP_MASK = 0xF00, PS_JOIN_ROUND = 0,
                PS_JOIN_BEVEL = 0x1000, PS_JOIN_MITER = 0x2000, PS_JOIN_MASK = 0xF000,
                PS_COSMETIC = 0, PS_GEOMETRIC = 0x10000, PS_TYPE_MASK = 0xF0000;

// Brush styles and hatches.
constexpr UINT BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = 1, BS_HATCHED = 2, BS_PATTERN = 3,
               BS_DIBPATTERN = 5, BS_DIBPATTERNPT = 6, BS_PATTERN8X8 = 7;
constexpr int HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3,
              HS_CROSS = 4, HS_DIAGCROSS = 5;

// Region results and combine modes.
constexpr int ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3, RGN_ERROR = 0;
constexpr int RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5;

// Stretch modes.
constexpr int BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4;

// Text alignment (SetTextAlign).
constexpr UINT TA_NOUPDATECP = 0, TA_UPDATECP = 1, TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6,
               TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24, TA_RTLREADING = 256;

// ExtTextOut options.
constexpr UINT ETO_OPAQUE = 0x2, ETO_CLIPPED = 0x4, ETO_GLYPH_INDEX = 0x10, ETO_RTLREADING = 0x80,
               ETO_IGNORELANGUAGE = 0x1000;

// DrawText formats.
constexpr UINT DT_TOP = 0, DT_LEFT = 0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4,
               DT_BOTTOM = 0x8, DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40,
               DT_TABSTOP = 0x80, DT_NOCLIP = 0x100, DT_EXTERNALLEADING = 0x200,
               DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800, DT_INTERNAL = 0x1000,
               DT_EDITCONTROL = 0x2000, DT_PATH_ELLIPSIS = 0x4000, DT_END_ELLIPSIS = 0x8000,
               DT_MODIFYSTRING = 0x10000, DT_RTLREADING = 0x20000, DT_WORD_ELLIPSIS = 0x40000,
               DT_NOFULLWIDTHCHARBREAK = 0x80000, DT_HIDEPREFIX = 0x100000,
               DT_PREFIXONLY = 0x200000;

// DrawEdge.
constexpr UINT BDR_RAISEDOUTER = 0x1, BDR_SUNKENOUTER = 0x2, BDR_RAISEDINNER = 0x4,
               BDR_SUNKENINNER = 0x8, BDR_OUTER = 0x3, BDR_INNER = 0xC, BDR_RAISED = 0x5,
               BDR_SUNKEN = 0xA;
constexpr UINT EDGE_RAISED = 0x5, EDGE_SUNKEN = 0xA, EDGE_ETCHED = 0x6, EDGE_BUMP = 0x9;
constexpr UINT BF_LEFT = 0x1, BF_TOP = 0x2, BF_RIGHT = 0x4, BF_BOTTOM = 0x8, BF_TOPLEFT = 0x3,
               BF_TOPRIGHT = 0x6, BF_BOTTOMLEFT = 0x9, BF_BOTTOMRIGHT = 0xC, BF_RECT = 0xF,
               BF_DIAGONAL = 0x10, BF_DIAGONAL_ENDTOPRIGHT = 0x16, BF_DIAGONAL_ENDTOPLEFT = 0x13,
               BF_DIAGONAL_ENDBOTTOMLEFT = 0x19, BF_DIAGONAL_ENDBOTTOMRIGHT = 0x1C,
               BF_MIDDLE = 0x800, BF_SOFT = 0x1000, BF_ADJUST = 0x2000, BF_FLAT = 0x4000,
               BF_MONO = 0x8000;

// DrawFrameControl.
constexpr UINT DFC_CAPTION = 1, DFC_MENU = 2, DFC_SCROLL = 3, DFC_BUTTON = 4, DFC_POPUPMENU = 5;
constexpr UINT DFCS_CAPTIONCLOSE = 0x0, DFCS_CAPTIONMIN = 0x1, DFCS_CAPTIONMAX = 0x2,
               DFCS_CAPTIONRESTORE = 0x3, DFCS_CAPTIONHELP = 0x4, DFCS_MENUARROW = 0x0,
               DFCS_MENUCHECK = 0x1, DFCS_MENUBULLET = 0x2, DFCS_MENUARROWRIGHT = 0x4,
               DFCS_SCROLLUP = 0x0, DFCS_SCROLLDOWN = 0x1, DFCS_SCROLLLEFT = 0x2,
               DFCS_SCROLLRIGHT = 0x3, DFCS_SCROLLCOMBOBOX = 0x5, DFCS_SCROLLSIZEGRIP = 0x8,
               DFCS_SCROLLSIZEGRIPRIGHT = 0x10, DFCS_BUTTONCHECK = 0x0,
               DFCS_BUTTONRADIOIMAGE = 0x1, DFCS_BUTTONRADIOMASK = 0x2, DFCS_BUTTONRADIO = 0x4,
               DFCS_BUTTON3STATE = 0x8, DFCS_BUTTONPUSH = 0x10, DFCS_INACTIVE = 0x100,
               DFCS_PUSHED = 0x200, DFCS_CHECKED = 0x400, DFCS_TRANSPARENT = 0x800,
               DFCS_HOT = 0x1000, DFCS_ADJUSTRECT = 0x2000, DFCS_FLAT = 0x4000,
               DFCS_MONO = 0x8000;

// System colour indexes (GetSysColor).
constexpr int COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_DESKTOP = 1,
              COLOR_ACTIVECAPTION = 2, COLOR_INACTIVECAPTION = 3, COLOR_MENU = 4,
              COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6, COLOR_MENUTEXT = 7,
              COLOR_WINDOWTEXT = 8, COLOR_CAPTIONTEXT = 9, COLOR_ACTIVEBORDER = 10,
              COLOR_INACTIVEBORDER = 11, COLOR_APPWORKSPACE = 12, COLOR_HIGHLIGHT = 13,
              COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15, COLOR_3DFACE = 15,
              COLOR_BTNSHADOW = 16, COLOR_3DSHADOW = 16, COLOR_GRAYTEXT = 17,
              COLOR_BTNTEXT = 18, COLOR_INACTIVECAPTIONTEXT = 19, COLOR_BTNHIGHLIGHT = 20,
              COLOR_BTNHILIGHT = 20, COLOR_3DHIGHLIGHT = 20, COLOR_3DHILIGHT = 20,
              COLOR_3DDKSHADOW = 21, COLOR_3DLIGHT = 22, COLOR_INFOTEXT = 23, COLOR_INFOBK = 24,
              COLOR_HOTLIGHT = 26, COLOR_GRADIENTACTIVECAPTION = 27,
              COLOR_GRADIENTINACTIVECAPTION = 28, COLOR_MENUHILIGHT = 29, COLOR_MENUBAR = 30,
              COLOR_ENDCOLORS = 30;

// System metrics (GetSystemMetrics).
constexpr int SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3,
              SM_CYCAPTION = 4, SM_CXBORDER = 5, SM_CYBORDER = 6, SM_CXDLGFRAME = 7,
              SM_CYDLGFRAME = 8, SM_CXFIXEDFRAME = 7, SM_CYFIXEDFRAME = 8, SM_CYVTHUMB = 9,
              SM_CXHTHUMB = 10, SM_CXICON = 11, SM_CYICON = 12, SM_CXCURSOR = 13,
              SM_CYCURSOR = 14, SM_CYMENU = 15, SM_CXFULLSCREEN = 16, SM_CYFULLSCREEN = 17,
              SM_MOUSEPRESENT = 19, SM_CYVSCROLL = 20, SM_CXHSCROLL = 21, SM_SWAPBUTTON = 23,
              SM_CXMIN = 28, SM_CYMIN = 29, SM_CXSIZE = 30, SM_CYSIZE = 31, SM_CXFRAME = 32,
              SM_CYFRAME = 33, SM_CXSIZEFRAME = 32, SM_CYSIZEFRAME = 33, SM_CXMINTRACK = 34,
              SM_CYMINTRACK = 35, SM_CXDOUBLECLK = 36, SM_CYDOUBLECLK = 37,
              SM_CXICONSPACING = 38, SM_CYICONSPACING = 39, SM_MENUDROPALIGNMENT = 40,
              SM_DBCSENABLED = 42, SM_CMOUSEBUTTONS = 43, SM_CXEDGE = 45, SM_CYEDGE = 46,
              SM_CXSMICON = 49, SM_CYSMICON = 50, SM_CYSMCAPTION = 51, SM_CXSMSIZE = 52,
              SM_CYSMSIZE = 53, SM_CXMENUSIZE = 54, SM_CYMENUSIZE = 55, SM_CXDRAG = 68,
              SM_CYDRAG = 69, SM_CXMENUCHECK = 71, SM_CYMENUCHECK = 72,
              SM_MOUSEWHEELPRESENT = 75, SM_CXVIRTUALSCREEN = 78, SM_CYVIRTUALSCREEN = 79,
              SM_CMONITORS = 80, SM_CXFOCUSBORDER = 83, SM_CYFOCUSBORDER = 84,
              SM_CMETRICS = 97;

// Device capabilities (GetDeviceCaps).
constexpr int HORZRES = 8, VERTRES = 10, BITSPIXEL = 12, PLANES = 14, NUMCOLORS = 24,
              RASTERCAPS = 38, LOGPIXELSX = 88, LOGPIXELSY = 90;

// Fonts.
constexpr int LF_FACESIZE = 32;
constexpr LONG FW_DONTCARE = 0, FW_THIN = 100, FW_LIGHT = 300, FW_NORMAL = 400, FW_MEDIUM = 500,
               FW_SEMIBOLD = 600, FW_BOLD = 700, FW_HEAVY = 900;
constexpr BYTE ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, SHIFTJIS_CHARSET = 128,
               OEM_CHARSET = 255;
constexpr BYTE OUT_DEFAULT_PRECIS = 0, CLIP_DEFAULT_PRECIS = 0, DEFAULT_QUALITY = 0,
               NONANTIALIASED_QUALITY = 3, ANTIALIASED_QUALITY = 4, CLEARTYPE_QUALITY = 5;
constexpr BYTE DEFAULT_PITCH = 0, FIXED_PITCH = 1, VARIABLE_PITCH = 2, FF_DONTCARE = 0,
               FF_ROMAN = 0x10, FF_SWISS = 0x20, FF_MODERN = 0x30;
constexpr BYTE TMPF_FIXED_PITCH = 0x1, TMPF_VECTOR = 0x2, TMPF_TRUETYPE = 0x4;

// Bitmaps.
constexpr DWORD BI_RGB = 0, BI_BITFIELDS = 3;
constexpr UINT DIB_RGB_COLORS = 0, DIB_PAL_COLORS = 1;

// Alpha blending and gradients.
constexpr BYTE AC_SRC_OVER = 0, AC_SRC_ALPHA = 1;
constexpr ULONG GRADIENT_FILL_RECT_H = 0, GRADIENT_FILL_RECT_V = 1;

// ---- structures ----------------------------------------------------------------------------

struct LOGPEN {
  UINT lopnStyle = PS_SOLID;
  POINT lopnWidth;
  COLORREF lopnColor = 0;
};

struct LOGBRUSH {
  UINT lbStyle = BS_SOLID;
  COLORREF lbColor = 0;
  ULONG_PTR lbHatch = 0;  // hatch style, or the HBITMAP of a pattern brush
};

// Face names are UTF-8; the array holds LF_FACESIZE characters of up to three bytes.
struct LOGFONT {
  LONG lfHeight = 0;  // < 0: character height in pixels; > 0: cell height; 0: default
  LONG lfWidth = 0;
  LONG lfEscapement = 0;  // tenths of a degree, counter-clockwise
  LONG lfOrientation = 0;
  LONG lfWeight = FW_NORMAL;
  BYTE lfItalic = 0;
  BYTE lfUnderline = 0;
  BYTE lfStrikeOut = 0;
  BYTE lfCharSet = DEFAULT_CHARSET;
  BYTE lfOutPrecision = 0;
  BYTE lfClipPrecision = 0;
  BYTE lfQuality = 0;
  BYTE lfPitchAndFamily = 0;
  char lfFaceName[LF_FACESIZE * 3] = {};
};
using LOGFONTW = LOGFONT;
using LOGFONTA = LOGFONT;

struct TEXTMETRIC {
  LONG tmHeight = 0;
  LONG tmAscent = 0;
  LONG tmDescent = 0;
  LONG tmInternalLeading = 0;
  LONG tmExternalLeading = 0;
  LONG tmAveCharWidth = 0;
  LONG tmMaxCharWidth = 0;
  LONG tmWeight = 0;
  LONG tmOverhang = 0;
  LONG tmDigitizedAspectX = 96;
  LONG tmDigitizedAspectY = 96;
  char32_t tmFirstChar = 0x20;
  char32_t tmLastChar = 0xFFFD;
  char32_t tmDefaultChar = 0x1F;
  char32_t tmBreakChar = 0x20;
  BYTE tmItalic = 0;
  BYTE tmUnderlined = 0;
  BYTE tmStruckOut = 0;
  BYTE tmPitchAndFamily = 0;
  BYTE tmCharSet = 0;
};
using TEXTMETRICW = TEXTMETRIC;

struct BITMAP {
  LONG bmType = 0;
  LONG bmWidth = 0;
  LONG bmHeight = 0;
  LONG bmWidthBytes = 0;
  WORD bmPlanes = 1;
  WORD bmBitsPixel = 0;
  void* bmBits = nullptr;  // DIB sections only
};

struct BITMAPINFOHEADER {
  DWORD biSize = sizeof(BITMAPINFOHEADER);
  LONG biWidth = 0;
  LONG biHeight = 0;  // > 0 bottom-up rows, < 0 top-down rows
  WORD biPlanes = 1;
  WORD biBitCount = 0;
  DWORD biCompression = BI_RGB;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};

struct RGBQUAD {
  BYTE rgbBlue = 0;
  BYTE rgbGreen = 0;
  BYTE rgbRed = 0;
  BYTE rgbReserved = 0;
};

// Unlike the platform's variable-length record, the colour table always has room for 256
// entries, so GetDIBits can never write past the caller's structure.
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[256];
};

struct BLENDFUNCTION {
  BYTE BlendOp = AC_SRC_OVER;
  BYTE BlendFlags = 0;
  BYTE SourceConstantAlpha = 255;
  BYTE AlphaFormat = 0;
};

using COLOR16 = USHORT;
struct TRIVERTEX {
  LONG x = 0;
  LONG y = 0;
  COLOR16 Red = 0;  // 0..0xFF00
  COLOR16 Green = 0;
  COLOR16 Blue = 0;
  COLOR16 Alpha = 0;
};
struct GRADIENT_RECT {
  ULONG UpperLeft = 0;
  ULONG LowerRight = 0;
};

// ---- rectangles and points -----------------------------------------------------------------

BOOL SetRect(RECT* r, int left, int top, int right, int bottom);
BOOL SetRectEmpty(RECT* r);
BOOL CopyRect(RECT* dst, const RECT* src);
BOOL InflateRect(RECT* r, int dx, int dy);
BOOL OffsetRect(RECT* r, int dx, int dy);
BOOL IsRectEmpty(const RECT* r);
BOOL PtInRect(const RECT* r, POINT p);
BOOL EqualRect(const RECT* a, const RECT* b);
BOOL IntersectRect(RECT* dst, const RECT* a, const RECT* b);  // empty result: (0,0,0,0), FALSE
BOOL UnionRect(RECT* dst, const RECT* a, const RECT* b);
BOOL SubtractRect(RECT* dst, const RECT* a, const RECT* b);

// ---- objects -------------------------------------------------------------------------------

HGDIOBJ GetStockObject(int index);
// Deleting a stock object does nothing and succeeds; a pen, brush or font selected into a
// device context (or held by a saved state) goes when it is deselected; a selected bitmap is
// not deleted (FALSE); an invalid handle gives FALSE.
BOOL DeleteObject(HGDIOBJ obj);
DWORD GetObjectType(HGDIOBJ obj);  // 0 for an invalid handle
// Fills LOGPEN, LOGBRUSH, LOGFONT or BITMAP; returns the bytes written, or the size needed
// when buffer is null; 0 on failure.
int GetObject(HGDIOBJ obj, int size, void* buffer);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj);  // a region returns its region result instead
HGDIOBJ GetCurrentObject(HDC dc, UINT type);

HPEN CreatePen(int style, int width, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* lp);
// Cosmetic pens of width 1 support PS_ALTERNATE (every other pixel) and PS_USERSTYLE.
HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD styleCount,
                  const DWORD* styles);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateHatchBrush(int hatch, COLORREF color);
// The brush keeps its own copy of the bitmap's top-left 8 x 8 pixels (or the whole bitmap
// when smaller); a monochrome pattern draws 0 bits in the text colour and 1 bits in the
// background colour of the device context.
HBRUSH CreatePatternBrush(HBITMAP bitmap);
HBRUSH CreateBrushIndirect(const LOGBRUSH* lb);
HBRUSH GetSysColorBrush(int index);  // a stock brush: deleting it does nothing
COLORREF SetDCBrushColor(HDC dc, COLORREF color);
COLORREF SetDCPenColor(HDC dc, COLORREF color);

HFONT CreateFontIndirect(const LOGFONT* lf);
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight,
                 DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                 DWORD outPrecision, DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily,
                 const char* faceName);
#define CreateFontIndirectW CreateFontIndirect
#define CreateFontW CreateFont

// ---- device contexts -----------------------------------------------------------------------

// A memory device context; a 1 x 1 monochrome bitmap is selected at first.
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
int SaveDC(HDC dc);                 // the new depth (>= 1), 0 on failure
BOOL RestoreDC(HDC dc, int saved);  // saved > 0: that level; < 0: relative to the top
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
int SetROP2(HDC dc, int rop2);
int GetROP2(HDC dc);
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);
UINT SetTextAlign(HDC dc, UINT align);
UINT GetTextAlign(HDC dc);
int SetTextCharacterExtra(HDC dc, int extra);
int GetTextCharacterExtra(HDC dc);
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetWindowOrgEx(HDC dc, POINT* p);
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, POINT* old);
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetViewportOrgEx(HDC dc, POINT* p);
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* old);
BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* old);  // device coordinates
BOOL GetBrushOrgEx(HDC dc, POINT* p);
BOOL LPtoDP(HDC dc, POINT* points, int count);
BOOL DPtoLP(HDC dc, POINT* points, int count);
BOOL GetDCOrgEx(HDC dc, POINT* p);  // the device origin in surface coordinates
int GetDeviceCaps(HDC dc, int index);
COLORREF GetNearestColor(HDC dc, COLORREF color);

// Clipping. Clip regions are in device coordinates; the effective clip is the application
// region (if any) intersected with the system region of the window's device context.
int SelectClipRgn(HDC dc, HRGN rgn);  // null removes the application clip
int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode);
// 1 with a copy of the application clip in rgn, 0 when the context has none, -1 on error.
int GetClipRgn(HDC dc, HRGN rgn);
int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);    // logical
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);  // logical
int OffsetClipRgn(HDC dc, int dx, int dy);
int GetClipBox(HDC dc, RECT* r);  // logical bounds of what can be drawn, region result
BOOL RectVisible(HDC dc, const RECT* r);
BOOL PtVisible(HDC dc, int x, int y);
// The bounding rectangle of the system region together with the surface, in device
// coordinates (what a window's device context may paint).
int GetRandomRgn(HDC dc, HRGN rgn, int which);  // which = SYSRGN (4): system region
constexpr int SYSRGN = 4;

// ---- regions -------------------------------------------------------------------------------

HRGN CreateRectRgn(int left, int top, int right, int bottom);
HRGN CreateRectRgnIndirect(const RECT* r);
HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int w, int h);
HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
HRGN CreateEllipticRgnIndirect(const RECT* r);
constexpr int ALTERNATE = 1, WINDING = 2;
HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode);
BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom);
int CombineRgn(HRGN dst, HRGN src1, HRGN src2, int mode);
int OffsetRgn(HRGN rgn, int dx, int dy);
BOOL PtInRegion(HRGN rgn, int x, int y);
BOOL RectInRegion(HRGN rgn, const RECT* r);
BOOL EqualRgn(HRGN a, HRGN b);
int GetRgnBox(HRGN rgn, RECT* r);
// The region's rectangles in bands, top to bottom, left to right; the region result.
int GetRgnRects(HRGN rgn, std::vector<RECT>& rects);
BOOL FillRgn(HDC dc, HRGN rgn, HBRUSH brush);
BOOL FrameRgn(HDC dc, HRGN rgn, HBRUSH brush, int w, int h);
BOOL PaintRgn(HDC dc, HRGN rgn);
BOOL InvertRgn(HDC dc, HRGN rgn);

// ---- drawing -------------------------------------------------------------------------------

COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
BOOL SetPixelV(HDC dc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC dc, int x, int y);  // CLR_INVALID outside the clip
BOOL MoveToEx(HDC dc, int x, int y, POINT* old);
BOOL GetCurrentPositionEx(HDC dc, POINT* p);
BOOL LineTo(HDC dc, int x, int y);
BOOL Polyline(HDC dc, const POINT* points, int count);
BOOL PolyPolyline(HDC dc, const POINT* points, const DWORD* counts, DWORD polylines);
BOOL Polygon(HDC dc, const POINT* points, int count);
int SetPolyFillMode(HDC dc, int mode);
int GetPolyFillMode(HDC dc);
BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int w, int h);
// The brush handle may be a system colour index + 1, as the platform allows.
int FillRect(HDC dc, const RECT* r, HBRUSH brush);
int FrameRect(HDC dc, const RECT* r, HBRUSH brush);
BOOL InvertRect(HDC dc, const RECT* r);
BOOL DrawFocusRect(HDC dc, const RECT* r);  // XOR dotted frame: twice leaves no trace
BOOL PatBlt(HDC dc, int x, int y, int w, int h, DWORD rop);
BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop);
BOOL StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                DWORD rop);
BOOL TransparentBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw,
                    int sh, UINT transparent);
BOOL AlphaBlend(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                BLENDFUNCTION blend);
BOOL GradientFill(HDC dc, const TRIVERTEX* vertices, ULONG nVertices, const void* mesh,
                  ULONG nMesh, ULONG mode);
// Fills r with a two-colour gradient from `from` to `to`, left to right, or top to bottom
// when vertical (GradientFill with one rectangle).
BOOL GradientFillRect(HDC dc, const RECT& r, COLORREF from, COLORREF to, bool vertical);
BOOL DrawEdge(HDC dc, RECT* r, UINT edge, UINT flags);
// Paths: between BeginPath and EndPath, MoveToEx, LineTo, Polyline, Polygon, Rectangle,
// Ellipse and RoundRect record figures instead of drawing; FillPath fills them with the
// brush by the fill mode, StrokePath outlines them with the pen; both discard the path.
BOOL BeginPath(HDC dc);
BOOL EndPath(HDC dc);
BOOL AbortPath(HDC dc);
BOOL CloseFigure(HDC dc);
BOOL FillPath(HDC dc);
BOOL StrokePath(HDC dc);
BOOL StrokeAndFillPath(HDC dc);
BOOL DrawFrameControl(HDC dc, RECT* r, UINT type, UINT state);

// ---- bitmaps -------------------------------------------------------------------------------

// The platform's predefined bitmaps, built from the frame-control drawings; for the window
// manager's LoadBitmap(nullptr, MAKEINTRESOURCE(id)). OBM_CHECKBOXES: 4 x 3 cells of 13 x 13
// (rows: check box, radio button, three-state; columns: normal, checked, pushed, pushed and
// checked). Null for an unknown id.
constexpr int OBM_CHECKBOXES = 32759;
HBITMAP LoadSystemBitmap(int id);

// bits: rows of the given depth, each padded to 16 bits as the platform's device bitmaps;
// only 1 and 32 bits per pixel.
HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
// A bitmap of the device context's format: monochrome for a memory context that still has
// its initial bitmap, 32-bit otherwise. Zero or negative sizes give a valid 0 x 0 bitmap
// for (0, 0) and null for negative sizes.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// 32-bit sections only; *bits points at the pixel memory in the header's row order.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits,
                         HANDLE section, DWORD offset);
// Rows start..start+lines-1 (counted from the bottom for bottom-up headers). 1, 4, 8, 24
// and 32 bits. bits null: fills the header (size, colour table) and returns the line count.
int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info,
              UINT usage);
int SetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, const void* bits,
              const BITMAPINFO* info, UINT usage);
int StretchDIBits(HDC dc, int x, int y, int w, int h, int sx, int sy, int sw, int sh,
                  const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);
BOOL GetBitmapDimensionEx(HBITMAP bitmap, SIZE* size);
// The pixels of a bitmap (32-bit for every bitmap; a monochrome bitmap holds only
// 0x00000000 and 0x00FFFFFF). Null for an invalid handle.
TSurface* GetBitmapSurface(HBITMAP bitmap);
int GetBitmapBitsPerPixel(HBITMAP bitmap);  // 1 or 32; 0 for an invalid handle

// Image files: BMP (1, 4, 8, 24, 32 bits), PNG and JPEG, recognised by their content.
// Corrupt or truncated data gives null.
HBITMAP LoadBitmapFromFile(const String& path);
HBITMAP LoadBitmapFromMemory(const void* data, size_t size);
bool SaveBitmapToBmp(HBITMAP bitmap, const String& path);  // 32-bit BMP
bool SaveBitmapToJpeg(HBITMAP bitmap, const String& path, int quality = 90);
// With alpha: the alpha byte is written as it is; without: every pixel is opaque.
bool SaveBitmapToPng(HBITMAP bitmap, const String& path, bool withAlpha = false);

// ---- text ----------------------------------------------------------------------------------

BOOL GetTextMetrics(HDC dc, TEXTMETRIC* tm);
BOOL GetTextExtentPoint32(HDC dc, const char* text, int count, SIZE* size);
// count -1: up to the terminating zero. Counts are in bytes of UTF-8.
BOOL GetTextExtentExPoint(HDC dc, const char* text, int count, int maxExtent, int* fit,
                          int* dx, SIZE* size);
int GetTextFace(HDC dc, int count, char* name);
BOOL TextOut(HDC dc, int x, int y, const char* text, int count);
// Tabs stop every tabs[0] pixels (one position), at the given positions (several; from
// tabOrigin), or every 8 average character widths (none); past the last stop a tab is as wide
// as a space. Result: MAKELONG(width, height).
LONG TabbedTextOut(HDC dc, int x, int y, const char* text, int count, int nTabs,
                   const int* tabs, int tabOrigin);
DWORD GetTabbedTextExtent(HDC dc, const char* text, int count, int nTabs, const int* tabs);
// Spreads extra pixels over the next text's spaces (count of them); (0, 0) ends it.
BOOL SetTextJustification(HDC dc, int breakExtra, int breakCount);
BOOL ExtTextOut(HDC dc, int x, int y, UINT options, const RECT* r, const char* text,
                UINT count, const int* dx);
// Returns the height of the text (from the top of r); with DT_CALCRECT r receives the
// text's bounds. count -1: up to the terminating zero. DT_MODIFYSTRING writes the shortened
// text back into text (room for count + 4 bytes).
int DrawText(HDC dc, const char* text, int count, RECT* r, UINT format);
#define GetTextExtentPoint32W GetTextExtentPoint32
#define GetTextMetricsW GetTextMetrics
#define TextOutW TextOut
#define ExtTextOutW ExtTextOut
#define DrawTextW DrawText

// The real font file behind a logical font (for tests and diagnostics): the family name
// fontconfig chose, empty for an invalid handle.
String GetFontFamilyName(HFONT font);

// ---- system colours and metrics ------------------------------------------------------------

DWORD GetSysColor(int index);  // 0 for an unknown index
// Replaces system colours (a later "system colour change", or a test); the stock brushes
// of GetSysColorBrush follow.
BOOL SetSysColors(int count, const int* indexes, const COLORREF* colors);
void ResetSysColors();  // back to the classic defaults
int GetSystemMetrics(int index);
void SetSystemMetric(int index, int value);  // the screen size, by the backend; tests
void ResetSystemMetrics();
