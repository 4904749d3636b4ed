// Program start. Until the application shell exists, the program shows a small window built
// directly on the window layer: it paints, marks where it is clicked, echoes typed keys with
// a caret, shows a note in a popup that does not take activation on a right click, has a
// child "Close" button, and closes with the button, Esc or its caption.
#include <cstdio>
#include <vector>

#include "backend/Sdl.h"
#include "rtl/System.h"
#include "user/Windows.h"

namespace {

constexpr int kCloseId = 1;

struct TDemo {
  HWND main = nullptr;
  HWND button = nullptr;
  HWND popup = nullptr;
  std::vector<POINT> clicks;
  String typed;
  String lastKey = "(none)";
  bool buttonDown = false;
  HFONT font = nullptr;
  HFONT big = nullptr;
};

TDemo demo;

RECT TextLine(HWND w) {
  RECT c;
  GetClientRect(w, &c);
  return {16, 96, c.Right - 16, 120};
}

void PlaceCaret(HWND w) {
  HDC dc = GetDC(w);
  HGDIOBJ old = SelectObject(dc, demo.font);
  SIZE sz{0, 0};
  GetTextExtentPoint32(dc, demo.typed.c_str(), int(demo.typed.size()), &sz);
  SelectObject(dc, old);
  ReleaseDC(w, dc);
  RECT line = TextLine(w);
  SetCaretPos(line.Left + 4 + sz.cx, line.Top + 4);
}

void PaintMain(HWND w, HDC dc) {
  RECT c;
  GetClientRect(w, &c);
  // A soft vertical gradient as the background.
  TRIVERTEX v[2];
  v[0].x = 0;
  v[0].y = 0;
  v[0].Red = 0xF000;
  v[0].Green = 0xF400;
  v[0].Blue = 0xFF00;
  v[1].x = c.Right;
  v[1].y = c.Bottom;
  v[1].Red = 0xC800;
  v[1].Green = 0xD400;
  v[1].Blue = 0xEC00;
  GRADIENT_RECT gr{0, 1};
  GradientFill(dc, v, 2, &gr, 1, GRADIENT_FILL_RECT_V);

  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ oldFont = SelectObject(dc, demo.big);
  SetTextColor(dc, RGB(0, 0, 128));
  RECT title{16, 12, c.Right - 16, 44};
  DrawText(dc, "Korvan for CSV", -1, &title, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  SelectObject(dc, demo.font);
  SetTextColor(dc, RGB(0, 0, 0));
  RECT hint{16, 48, c.Right - 16, 90};
  DrawText(dc,
           "Window layer demonstration: click anywhere to leave a mark, right-click for a note, "
           "type to write in the box below, press Esc or the Close button to end.",
           -1, &hint, DT_WORDBREAK | DT_NOPREFIX);

  RECT line = TextLine(w);
  FillRect(dc, &line, GetSysColorBrush(COLOR_WINDOW));
  RECT edge = line;
  InflateRect(&edge, 2, 2);
  DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
  RECT text = line;
  text.Left += 4;
  DrawText(dc, demo.typed.c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);

  String info = "Clicks: " + std::to_string(demo.clicks.size()) + "    Last key: " + demo.lastKey;
  RECT status{16, 128, c.Right - 16, 148};
  DrawText(dc, info.c_str(), -1, &status, DT_SINGLELINE | DT_NOPREFIX);

  // Click marks: a small target at every point clicked.
  HPEN pen = CreatePen(PS_SOLID, 2, RGB(200, 40, 40));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  for (POINT p : demo.clicks) {
    Ellipse(dc, p.X - 8, p.Y - 8, p.X + 9, p.Y + 9);
    MoveToEx(dc, p.X - 12, p.Y, nullptr);
    LineTo(dc, p.X + 13, p.Y);
    MoveToEx(dc, p.X, p.Y - 12, nullptr);
    LineTo(dc, p.X, p.Y + 13);
  }
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
  SelectObject(dc, oldFont);
}

LRESULT MainProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(w, &ps);
      PaintMain(w, dc);
      EndPaint(w, &ps);
      return 0;
    }
    case WM_CONTEXTMENU: {
      // A note next to the pointer, in a popup that leaves this window active.
      if (demo.popup) DestroyWindow(demo.popup);
      POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      demo.popup = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, "KorvanDemoPopup",
                                  "Right-clicked here. Click the note to close it.", WS_POPUP | WS_BORDER,
                                  p.X + 4, p.Y + 4, 250, 24, w, nullptr, nullptr, nullptr);
      ShowWindow(demo.popup, SW_SHOWNA);
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      SetFocus(w);
      demo.clicks.push_back({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)});
      if (demo.clicks.size() > 50) demo.clicks.erase(demo.clicks.begin());
      InvalidateRect(w, nullptr, FALSE);
      return 0;
    case WM_SETFOCUS:
      CreateCaret(w, nullptr, 1, 16);
      PlaceCaret(w);
      ShowCaret(w);
      return 0;
    case WM_KILLFOCUS:
      DestroyCaret();
      return 0;
    case WM_KEYDOWN: {
      if (wp == WPARAM(VK_ESCAPE)) {
        DestroyWindow(w);
        return 0;
      }
      char name[32];
      if ((wp >= 'A' && wp <= 'Z') || (wp >= '0' && wp <= '9'))
        snprintf(name, sizeof name, "%c", char(wp));
      else
        snprintf(name, sizeof name, "virtual key %u", unsigned(wp));
      demo.lastKey = name;
      InvalidateRect(w, nullptr, FALSE);
      return 0;
    }
    case WM_CHAR: {
      uint32_t ch = uint32_t(wp);
      if (ch == 8) {
        // Remove one whole UTF-8 character.
        while (!demo.typed.empty() && (static_cast<unsigned char>(demo.typed.back()) & 0xC0) == 0x80)
          demo.typed.pop_back();
        if (!demo.typed.empty()) demo.typed.pop_back();
      } else if (ch >= 32 && ch != 127) {
        if (ch < 0x80) {
          demo.typed += char(ch);
        } else if (ch < 0x800) {
          demo.typed += char(0xC0 | (ch >> 6));
          demo.typed += char(0x80 | (ch & 0x3F));
        } else if (ch < 0x10000) {
          demo.typed += char(0xE0 | (ch >> 12));
          demo.typed += char(0x80 | ((ch >> 6) & 0x3F));
          demo.typed += char(0x80 | (ch & 0x3F));
        } else {
          demo.typed += char(0xF0 | (ch >> 18));
          demo.typed += char(0x80 | ((ch >> 12) & 0x3F));
          demo.typed += char(0x80 | ((ch >> 6) & 0x3F));
          demo.typed += char(0x80 | (ch & 0x3F));
        }
      }
      RECT line = TextLine(w);
      InvalidateRect(w, &line, FALSE);
      if (GetFocus() == w) PlaceCaret(w);
      return 0;
    }
    case WM_COMMAND:
      if (LOWORD(wp) == kCloseId) DestroyWindow(w);
      return 0;
    case WM_SIZE:
      if (demo.button) {
        int cw = LOWORD(lp), ch = HIWORD(lp);
        MoveWindow(demo.button, cw - 96, ch - 40, 80, 26, TRUE);
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProc(w, msg, wp, lp);
}

LRESULT PopupProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(w, &ps);
      RECT r;
      GetClientRect(w, &r);
      FillRect(dc, &r, GetSysColorBrush(COLOR_INFOBK));
      HGDIOBJ old = SelectObject(dc, demo.font);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
      String text = GetWindowTextString(w);
      InflateRect(&r, -4, 0);
      DrawText(dc, text.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
      SelectObject(dc, old);
      EndPaint(w, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN:
      DestroyWindow(w);
      return 0;
    case WM_NCDESTROY:
      if (demo.popup == w) demo.popup = nullptr;
      return 0;
  }
  return DefWindowProc(w, msg, wp, lp);
}

// A push button drawn by hand: pressed look while the mouse holds it, WM_COMMAND on release.
LRESULT ButtonProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(w, &ps);
      RECT r;
      GetClientRect(w, &r);
      UINT state = DFCS_BUTTONPUSH | (demo.buttonDown ? DFCS_PUSHED : 0);
      DrawFrameControl(dc, &r, DFC_BUTTON, state);
      HGDIOBJ old = SelectObject(dc, demo.font);
      SetBkMode(dc, TRANSPARENT);
      if (demo.buttonDown) OffsetRect(&r, 1, 1);
      DrawText(dc, "Close", -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
      SelectObject(dc, old);
      EndPaint(w, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN:
      SetCapture(w);
      demo.buttonDown = true;
      InvalidateRect(w, nullptr, FALSE);
      return 0;
    case WM_LBUTTONUP: {
      bool was = demo.buttonDown && GetCapture() == w;
      ReleaseCapture();
      demo.buttonDown = false;
      InvalidateRect(w, nullptr, FALSE);
      RECT r;
      GetClientRect(w, &r);
      POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
      if (was && r.Contains(p)) SendMessage(GetParent(w), WM_COMMAND, MAKEWPARAM(kCloseId, 0), reinterpret_cast<LPARAM>(w));
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (demo.buttonDown) {
        demo.buttonDown = false;
        InvalidateRect(w, nullptr, FALSE);
      }
      return 0;
  }
  return DefWindowProc(w, msg, wp, lp);
}

}  // namespace

int main() {
  try {
    TSdlBackend backend;
    SetBackend(&backend);
    WNDCLASS wc;
    wc.lpfnWndProc = MainProc;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "KorvanDemoMain";
    RegisterClass(&wc);
    wc.lpfnWndProc = ButtonProc;
    wc.style = CS_DBLCLKS;
    wc.hCursor = LoadCursor(nullptr, IDC_HAND);
    wc.lpszClassName = "KorvanDemoButton";
    RegisterClass(&wc);
    wc.lpfnWndProc = PopupProc;
    wc.style = 0;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "KorvanDemoPopup";
    RegisterClass(&wc);
    demo.font = CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    demo.big = CreateFont(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");

    RECT work;
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    int width = 560, height = 360;
    demo.main = CreateWindowEx(0, "KorvanDemoMain", "Korvan for CSV", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                               work.Left + (work.Width() - width) / 2, work.Top + (work.Height() - height) / 2,
                               width, height, nullptr, nullptr, nullptr, nullptr);
    RECT c;
    GetClientRect(demo.main, &c);
    demo.button = CreateWindowEx(0, "KorvanDemoButton", "Close", WS_CHILD | WS_VISIBLE, c.Right - 96,
                                 c.Bottom - 40, 80, 26, demo.main, reinterpret_cast<HMENU>(intptr_t(kCloseId)),
                                 nullptr, nullptr);
    ShowWindow(demo.main, SW_SHOW);
    UpdateWindow(demo.main);

    MSG m;
    while (GetMessage(&m, nullptr, 0, 0) > 0) {
      TranslateMessage(&m);
      DispatchMessage(&m);
    }
    DeleteObject(demo.font);
    DeleteObject(demo.big);
    SetBackend(nullptr);
    return int(m.wParam);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Korvan for CSV: %s\n", e.what());
    return 1;
  }
}
