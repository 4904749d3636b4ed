// Base types of the platform layer: integer aliases, handles, colour values, rectangles.
#pragma once

#include <cstdint>

#include "rtl/Types.h"

using BOOL = int;
using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using UINT = unsigned int;
using INT = int;
using LONG = int32_t;
using ULONG = uint32_t;
using SHORT = int16_t;
using USHORT = uint16_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using UINT_PTR = uintptr_t;
using ULONG_PTR = uintptr_t;
using LONG_PTR = intptr_t;
using DWORD_PTR = uintptr_t;
using ATOM = WORD;
using COLORREF = DWORD;  // 0x00BBGGRR

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// Handles. Every handle kind is a distinct pointer type; the generic ones are untyped.
// Graphics handles point to objects of the graphics layer, validated on every call, so a
// stale or invented handle makes a call fail instead of crashing.
using HANDLE = void*;
using HGDIOBJ = void*;
struct HDC__;
struct HPEN__;
struct HBRUSH__;
struct HFONT__;
struct HBITMAP__;
struct HRGN__;
struct HPALETTE__;
using HDC = HDC__*;
using HPEN = HPEN__*;
using HBRUSH = HBRUSH__*;
using HFONT = HFONT__*;
using HBITMAP = HBITMAP__*;
using HRGN = HRGN__*;
using HPALETTE = HPALETTE__*;
// Handles owned by the window manager (platform/user defines the structures).
struct HWND__;
struct HMENU__;
struct HICON__;
struct HINSTANCE__;
struct HIMAGELIST__;
using HWND = HWND__*;
using HMENU = HMENU__*;
using HICON = HICON__*;
using HCURSOR = HICON__*;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE__*;
using HIMAGELIST = HIMAGELIST__*;

using RECT = TRect;
using POINT = TPoint;
using SIZE = TSize;
using LPRECT = RECT*;
using LPPOINT = POINT*;
using LPSIZE = SIZE*;

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
  return COLORREF(r) | (COLORREF(g) << 8) | (COLORREF(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) { return BYTE(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return BYTE((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return BYTE((c >> 16) & 0xFF); }

constexpr WORD LOWORD(uintptr_t v) { return WORD(v & 0xFFFF); }
constexpr WORD HIWORD(uintptr_t v) { return WORD((v >> 16) & 0xFFFF); }
constexpr BYTE LOBYTE(uintptr_t v) { return BYTE(v & 0xFF); }
constexpr BYTE HIBYTE(uintptr_t v) { return BYTE((v >> 8) & 0xFF); }
constexpr DWORD MAKELONG(WORD lo, WORD hi) { return DWORD(lo) | (DWORD(hi) << 16); }
constexpr LPARAM MAKELPARAM(WORD lo, WORD hi) { return LPARAM(MAKELONG(lo, hi)); }
constexpr WPARAM MAKEWPARAM(WORD lo, WORD hi) { return WPARAM(MAKELONG(lo, hi)); }
// Signed coordinates packed into a message parameter.
constexpr int GET_X_LPARAM(LPARAM lp) { return int(SHORT(LOWORD(uintptr_t(lp)))); }
constexpr int GET_Y_LPARAM(LPARAM lp) { return int(SHORT(HIWORD(uintptr_t(lp)))); }
