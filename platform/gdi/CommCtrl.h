// Image lists: equally sized images in one strip with an optional monochrome mask, drawn
// normal, transparent, blended with a colour, greyed (disabled) or with constant alpha.
#pragma once

#include "gdi/Gdi.h"

constexpr UINT ILC_MASK = 0x1, ILC_COLOR = 0x0, ILC_COLORDDB = 0xFE, ILC_COLOR4 = 0x4,
               ILC_COLOR8 = 0x8, ILC_COLOR16 = 0x10, ILC_COLOR24 = 0x18, ILC_COLOR32 = 0x20;
constexpr UINT ILD_NORMAL = 0x0, ILD_TRANSPARENT = 0x1, ILD_BLEND25 = 0x2, ILD_FOCUS = 0x2,
               ILD_BLEND50 = 0x4, ILD_SELECTED = 0x4, ILD_BLEND = 0x4, ILD_MASK = 0x10,
               ILD_IMAGE = 0x20, ILD_ROP = 0x40, ILD_PRESERVEALPHA = 0x1000,
               ILD_SCALE = 0x2000;
constexpr DWORD ILS_NORMAL = 0x0, ILS_GLOW = 0x1, ILS_SHADOW = 0x2, ILS_SATURATE = 0x4,
                ILS_ALPHA = 0x8;

struct IMAGEINFO {
  HBITMAP hbmImage = nullptr;  // owned by the list: read only
  HBITMAP hbmMask = nullptr;   // null for a list without a mask
  int Unused1 = 0, Unused2 = 0;
  RECT rcImage;  // the image's cell in both bitmaps
};

struct IMAGELISTDRAWPARAMS {
  DWORD cbSize = sizeof(IMAGELISTDRAWPARAMS);
  HIMAGELIST himl = nullptr;
  int i = 0;
  HDC hdcDst = nullptr;
  int x = 0, y = 0, cx = 0, cy = 0;  // cx, cy 0: the image size
  int xBitmap = 0, yBitmap = 0;      // offset inside the image
  COLORREF rgbBk = CLR_DEFAULT;      // CLR_NONE: transparent; CLR_DEFAULT: the list's colour
  COLORREF rgbFg = CLR_DEFAULT;      // blend colour; CLR_DEFAULT: the highlight colour
  UINT fStyle = ILD_NORMAL;
  DWORD dwRop = SRCCOPY;
  DWORD fState = ILS_NORMAL;  // ILS_SATURATE: grey; ILS_ALPHA: constant alpha Frame
  DWORD Frame = 255;
  COLORREF crEffect = 0;
};

// cx, cy must be positive; the colour depth flags only decide whether alpha is kept (32).
HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
BOOL ImageList_Destroy(HIMAGELIST list);
int ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_SetImageCount(HIMAGELIST list, UINT count);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);
BOOL ImageList_SetIconSize(HIMAGELIST list, int cx, int cy);  // removes every image
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color);
COLORREF ImageList_GetBkColor(HIMAGELIST list);
// Adds the images of a strip (its width divided by cx); mask: white bits are transparent.
// Returns the index of the first image, -1 on failure.
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
// Pixels of the key colour become transparent (and black in the image).
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF key);
BOOL ImageList_Replace(HIMAGELIST list, int index, HBITMAP image, HBITMAP mask);
BOOL ImageList_Remove(HIMAGELIST list, int index);  // -1 removes all
BOOL ImageList_GetImageInfo(HIMAGELIST list, int index, IMAGEINFO* info);
BOOL ImageList_Draw(HIMAGELIST list, int index, HDC dc, int x, int y, UINT style);
BOOL ImageList_DrawEx(HIMAGELIST list, int index, HDC dc, int x, int y, int dx, int dy,
                      COLORREF bk, COLORREF fg, UINT style);
BOOL ImageList_DrawIndirect(const IMAGELISTDRAWPARAMS* params);
