// The window manager: windows and window classes, messages and the queue, painting, input,
// focus and activation, timers, hooks, caret, cursors, clipboard, screen and monitors.
// Functions, structures and constants carry the platform's names and numeric values.
//
// Everything runs on the one user-interface thread. HWND points at a window object of this
// layer; every call validates it, so a destroyed or invented handle makes a call fail
// instead of crashing. Text is UTF-8 throughout.
#pragma once

#include <functional>

#include "gdi/Gdi.h"
#include "gdi/WinDef.h"

// ---- messages ------------------------------------------------------------------------------

constexpr UINT WM_NULL = 0x0000, WM_CREATE = 0x0001, WM_DESTROY = 0x0002, WM_MOVE = 0x0003,
               WM_SIZE = 0x0005, WM_ACTIVATE = 0x0006, WM_SETFOCUS = 0x0007,
               WM_KILLFOCUS = 0x0008, WM_ENABLE = 0x000A, WM_SETREDRAW = 0x000B,
               WM_SETTEXT = 0x000C, WM_GETTEXT = 0x000D, WM_GETTEXTLENGTH = 0x000E,
               WM_PAINT = 0x000F, WM_CLOSE = 0x0010, WM_QUERYENDSESSION = 0x0011,
               WM_QUIT = 0x0012, WM_QUERYOPEN = 0x0013, WM_ERASEBKGND = 0x0014,
               WM_SYSCOLORCHANGE = 0x0015, WM_ENDSESSION = 0x0016, WM_SHOWWINDOW = 0x0018,
               WM_WININICHANGE = 0x001A, WM_SETTINGCHANGE = 0x001A, WM_DEVMODECHANGE = 0x001B,
               WM_ACTIVATEAPP = 0x001C, WM_FONTCHANGE = 0x001D, WM_TIMECHANGE = 0x001E,
               WM_CANCELMODE = 0x001F, WM_SETCURSOR = 0x0020, WM_MOUSEACTIVATE = 0x0021,
               WM_CHILDACTIVATE = 0x0022, WM_QUEUESYNC = 0x0023, WM_GETMINMAXINFO = 0x0024,
               WM_NEXTDLGCTL = 0x0028, WM_DRAWITEM = 0x002B, WM_MEASUREITEM = 0x002C,
               WM_DELETEITEM = 0x002D, WM_VKEYTOITEM = 0x002E, WM_CHARTOITEM = 0x002F,
               WM_SETFONT = 0x0030, WM_GETFONT = 0x0031, WM_COMPAREITEM = 0x0039,
               WM_WINDOWPOSCHANGING = 0x0046, WM_WINDOWPOSCHANGED = 0x0047,
               WM_COPYDATA = 0x004A, WM_NOTIFY = 0x004E, WM_INPUTLANGCHANGE = 0x0051,
               WM_HELP = 0x0053, WM_CONTEXTMENU = 0x007B, WM_STYLECHANGING = 0x007C,
               WM_STYLECHANGED = 0x007D, WM_DISPLAYCHANGE = 0x007E, WM_GETICON = 0x007F,
               WM_SETICON = 0x0080, WM_NCCREATE = 0x0081, WM_NCDESTROY = 0x0082,
               WM_NCCALCSIZE = 0x0083, WM_NCHITTEST = 0x0084, WM_NCPAINT = 0x0085,
               WM_NCACTIVATE = 0x0086, WM_GETDLGCODE = 0x0087, WM_NCMOUSEMOVE = 0x00A0,
               WM_NCLBUTTONDOWN = 0x00A1, WM_NCLBUTTONUP = 0x00A2,
               WM_NCLBUTTONDBLCLK = 0x00A3, WM_NCRBUTTONDOWN = 0x00A4,
               WM_NCRBUTTONUP = 0x00A5, WM_NCRBUTTONDBLCLK = 0x00A6,
               WM_NCMBUTTONDOWN = 0x00A7, WM_NCMBUTTONUP = 0x00A8,
               WM_NCMBUTTONDBLCLK = 0x00A9, WM_KEYFIRST = 0x0100, WM_KEYDOWN = 0x0100,
               WM_KEYUP = 0x0101, WM_CHAR = 0x0102, WM_DEADCHAR = 0x0103,
               WM_SYSKEYDOWN = 0x0104, WM_SYSKEYUP = 0x0105, WM_SYSCHAR = 0x0106,
               WM_SYSDEADCHAR = 0x0107, WM_UNICHAR = 0x0109, WM_KEYLAST = 0x0109,
               WM_IME_STARTCOMPOSITION = 0x010D, WM_IME_ENDCOMPOSITION = 0x010E,
               WM_IME_COMPOSITION = 0x010F, WM_INITDIALOG = 0x0110, WM_COMMAND = 0x0111,
               WM_SYSCOMMAND = 0x0112, WM_TIMER = 0x0113, WM_HSCROLL = 0x0114,
               WM_VSCROLL = 0x0115, WM_INITMENU = 0x0116, WM_INITMENUPOPUP = 0x0117,
               WM_MENUSELECT = 0x011F, WM_MENUCHAR = 0x0120, WM_ENTERIDLE = 0x0121,
               WM_CHANGEUISTATE = 0x0127, WM_UPDATEUISTATE = 0x0128,
               WM_QUERYUISTATE = 0x0129, WM_CTLCOLORMSGBOX = 0x0132,
               WM_CTLCOLOREDIT = 0x0133, WM_CTLCOLORLISTBOX = 0x0134,
               WM_CTLCOLORBTN = 0x0135, WM_CTLCOLORDLG = 0x0136,
               WM_CTLCOLORSCROLLBAR = 0x0137, WM_CTLCOLORSTATIC = 0x0138,
               WM_MOUSEFIRST = 0x0200, WM_MOUSEMOVE = 0x0200, WM_LBUTTONDOWN = 0x0201,
               WM_LBUTTONUP = 0x0202, WM_LBUTTONDBLCLK = 0x0203, WM_RBUTTONDOWN = 0x0204,
               WM_RBUTTONUP = 0x0205, WM_RBUTTONDBLCLK = 0x0206, WM_MBUTTONDOWN = 0x0207,
               WM_MBUTTONUP = 0x0208, WM_MBUTTONDBLCLK = 0x0209, WM_MOUSEWHEEL = 0x020A,
               WM_MOUSEHWHEEL = 0x020E, WM_MOUSELAST = 0x020E, WM_PARENTNOTIFY = 0x0210,
               WM_ENTERMENULOOP = 0x0211, WM_EXITMENULOOP = 0x0212, WM_SIZING = 0x0214,
               WM_CAPTURECHANGED = 0x0215, WM_MOVING = 0x0216, WM_ENTERSIZEMOVE = 0x0231,
               WM_EXITSIZEMOVE = 0x0232, WM_IME_SETCONTEXT = 0x0281, WM_IME_NOTIFY = 0x0282,
               WM_IME_CHAR = 0x0286, WM_NCMOUSEHOVER = 0x02A0, WM_MOUSEHOVER = 0x02A1,
               WM_NCMOUSELEAVE = 0x02A2, WM_MOUSELEAVE = 0x02A3, WM_CUT = 0x0300,
               WM_COPY = 0x0301, WM_PASTE = 0x0302, WM_CLEAR = 0x0303, WM_UNDO = 0x0304,
               WM_PRINT = 0x0317, WM_PRINTCLIENT = 0x0318, WM_THEMECHANGED = 0x031A,
               WM_USER = 0x0400, WM_APP = 0x8000;

// WM_ACTIVATE states; WM_MOUSEACTIVATE answers.
constexpr WORD WA_INACTIVE = 0, WA_ACTIVE = 1, WA_CLICKACTIVE = 2;
constexpr LRESULT MA_ACTIVATE = 1, MA_ACTIVATEANDEAT = 2, MA_NOACTIVATE = 3,
                  MA_NOACTIVATEANDEAT = 4;
// WM_SIZE kinds.
constexpr WPARAM SIZE_RESTORED = 0, SIZE_MINIMIZED = 1, SIZE_MAXIMIZED = 2;
// WM_SHOWWINDOW reasons (lParam).
constexpr LPARAM SW_PARENTCLOSING = 1, SW_OTHERZOOM = 2, SW_PARENTOPENING = 3,
                 SW_OTHERUNZOOM = 4;
// WM_SYSCOMMAND codes.
constexpr WPARAM SC_SIZE = 0xF000, SC_MOVE = 0xF010, SC_MINIMIZE = 0xF020,
                 SC_MAXIMIZE = 0xF030, SC_CLOSE = 0xF060, SC_KEYMENU = 0xF100,
                 SC_RESTORE = 0xF120;
// WM_GETDLGCODE answers.
constexpr LRESULT DLGC_WANTARROWS = 0x1, DLGC_WANTTAB = 0x2, DLGC_WANTALLKEYS = 0x4,
                  DLGC_WANTMESSAGE = 0x4, DLGC_HASSETSEL = 0x8, DLGC_DEFPUSHBUTTON = 0x10,
                  DLGC_UNDEFPUSHBUTTON = 0x20, DLGC_RADIOBUTTON = 0x40,
                  DLGC_WANTCHARS = 0x80, DLGC_STATIC = 0x100, DLGC_BUTTON = 0x2000;
// WM_PRINT flags.
constexpr LPARAM PRF_CHECKVISIBLE = 0x1, PRF_NONCLIENT = 0x2, PRF_CLIENT = 0x4,
                 PRF_ERASEBKGND = 0x8, PRF_CHILDREN = 0x10, PRF_OWNED = 0x20;
// WM_NCCALCSIZE answers.
constexpr LRESULT WVR_ALIGNTOP = 0x10, WVR_VALIDRECTS = 0x400;
// Mouse key flags of mouse messages.
constexpr WPARAM MK_LBUTTON = 0x1, MK_RBUTTON = 0x2, MK_SHIFT = 0x4, MK_CONTROL = 0x8,
                 MK_MBUTTON = 0x10, MK_XBUTTON1 = 0x20, MK_XBUTTON2 = 0x40;
constexpr int WHEEL_DELTA = 120;
constexpr int GET_WHEEL_DELTA_WPARAM(WPARAM w) { return int(SHORT(HIWORD(w))); }
constexpr WORD GET_KEYSTATE_WPARAM(WPARAM w) { return LOWORD(w); }
// WM_IME_COMPOSITION flags.
constexpr LPARAM GCS_RESULTSTR = 0x800, GCS_COMPSTR = 0x8;
// WM_CHANGEUISTATE.
constexpr WORD UIS_SET = 1, UIS_CLEAR = 2, UIS_INITIALIZE = 3, UISF_HIDEFOCUS = 0x1,
               UISF_HIDEACCEL = 0x2;

// Hit-test codes (WM_NCHITTEST).
constexpr LRESULT HTERROR = -2, HTTRANSPARENT = -1, HTNOWHERE = 0, HTCLIENT = 1,
                  HTCAPTION = 2, HTSYSMENU = 3, HTGROWBOX = 4, HTSIZE = 4, HTMENU = 5,
                  HTHSCROLL = 6, HTVSCROLL = 7, HTMINBUTTON = 8, HTREDUCE = 8,
                  HTMAXBUTTON = 9, HTZOOM = 9, HTLEFT = 10, HTRIGHT = 11, HTTOP = 12,
                  HTTOPLEFT = 13, HTTOPRIGHT = 14, HTBOTTOM = 15, HTBOTTOMLEFT = 16,
                  HTBOTTOMRIGHT = 17, HTBORDER = 18, HTCLOSE = 20, HTHELP = 21;

// ---- virtual keys --------------------------------------------------------------------------

constexpr int VK_LBUTTON = 0x01, VK_RBUTTON = 0x02, VK_CANCEL = 0x03, VK_MBUTTON = 0x04,
              VK_XBUTTON1 = 0x05, VK_XBUTTON2 = 0x06, VK_BACK = 0x08, VK_TAB = 0x09,
              VK_CLEAR = 0x0C, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11,
              VK_MENU = 0x12, VK_PAUSE = 0x13, VK_CAPITAL = 0x14, VK_KANA = 0x15,
              VK_KANJI = 0x19, VK_ESCAPE = 0x1B, VK_CONVERT = 0x1C, VK_NONCONVERT = 0x1D,
              VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22, VK_END = 0x23, VK_HOME = 0x24,
              VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_SELECT = 0x29,
              VK_PRINT = 0x2A, VK_EXECUTE = 0x2B, VK_SNAPSHOT = 0x2C, VK_INSERT = 0x2D,
              VK_DELETE = 0x2E, VK_HELP = 0x2F, VK_LWIN = 0x5B, VK_RWIN = 0x5C,
              VK_APPS = 0x5D, VK_NUMPAD0 = 0x60, VK_NUMPAD1 = 0x61, VK_NUMPAD2 = 0x62,
              VK_NUMPAD3 = 0x63, VK_NUMPAD4 = 0x64, VK_NUMPAD5 = 0x65, VK_NUMPAD6 = 0x66,
              VK_NUMPAD7 = 0x67, VK_NUMPAD8 = 0x68, VK_NUMPAD9 = 0x69, VK_MULTIPLY = 0x6A,
              VK_ADD = 0x6B, VK_SEPARATOR = 0x6C, VK_SUBTRACT = 0x6D, VK_DECIMAL = 0x6E,
              VK_DIVIDE = 0x6F, VK_F1 = 0x70, VK_F2 = 0x71, VK_F3 = 0x72, VK_F4 = 0x73,
              VK_F5 = 0x74, VK_F6 = 0x75, VK_F7 = 0x76, VK_F8 = 0x77, VK_F9 = 0x78,
              VK_F10 = 0x79, VK_F11 = 0x7A, VK_F12 = 0x7B, VK_F24 = 0x87, VK_NUMLOCK = 0x90,
              VK_SCROLL = 0x91, VK_LSHIFT = 0xA0, VK_RSHIFT = 0xA1, VK_LCONTROL = 0xA2,
              VK_RCONTROL = 0xA3, VK_LMENU = 0xA4, VK_RMENU = 0xA5, VK_OEM_1 = 0xBA,
              VK_OEM_PLUS = 0xBB, VK_OEM_COMMA = 0xBC, VK_OEM_MINUS = 0xBD,
              VK_OEM_PERIOD = 0xBE, VK_OEM_2 = 0xBF, VK_OEM_3 = 0xC0, VK_OEM_4 = 0xDB,
              VK_OEM_5 = 0xDC, VK_OEM_6 = 0xDD, VK_OEM_7 = 0xDE, VK_OEM_102 = 0xE2,
              VK_PROCESSKEY = 0xE5;
// Letters and digits use their ASCII upper-case codes ('A' 0x41, '0' 0x30).

// Key message lParam bits.
constexpr LPARAM KF_EXTENDED_BIT = 1 << 24, KF_ALTDOWN_BIT = 1 << 29, KF_REPEAT_BIT = 1 << 30;

// ---- styles --------------------------------------------------------------------------------

constexpr DWORD WS_OVERLAPPED = 0x00000000, WS_POPUP = 0x80000000, WS_CHILD = 0x40000000,
                WS_MINIMIZE = 0x20000000, WS_VISIBLE = 0x10000000, WS_DISABLED = 0x08000000,
                WS_CLIPSIBLINGS = 0x04000000, WS_CLIPCHILDREN = 0x02000000,
                WS_MAXIMIZE = 0x01000000, WS_CAPTION = 0x00C00000, WS_BORDER = 0x00800000,
                WS_DLGFRAME = 0x00400000, WS_VSCROLL = 0x00200000, WS_HSCROLL = 0x00100000,
                WS_SYSMENU = 0x00080000, WS_THICKFRAME = 0x00040000, WS_SIZEBOX = 0x00040000,
                WS_GROUP = 0x00020000, WS_TABSTOP = 0x00010000, WS_MINIMIZEBOX = 0x00020000,
                WS_MAXIMIZEBOX = 0x00010000, WS_CHILDWINDOW = WS_CHILD,
                WS_OVERLAPPEDWINDOW = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                                      WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
                WS_POPUPWINDOW = WS_POPUP | WS_BORDER | WS_SYSMENU;
constexpr DWORD WS_EX_DLGMODALFRAME = 0x1, WS_EX_NOPARENTNOTIFY = 0x4, WS_EX_TOPMOST = 0x8,
                WS_EX_ACCEPTFILES = 0x10, WS_EX_TRANSPARENT = 0x20, WS_EX_MDICHILD = 0x40,
                WS_EX_TOOLWINDOW = 0x80, WS_EX_WINDOWEDGE = 0x100, WS_EX_CLIENTEDGE = 0x200,
                WS_EX_CONTEXTHELP = 0x400, WS_EX_RIGHT = 0x1000, WS_EX_RTLREADING = 0x2000,
                WS_EX_LEFTSCROLLBAR = 0x4000, WS_EX_CONTROLPARENT = 0x10000,
                WS_EX_STATICEDGE = 0x20000, WS_EX_APPWINDOW = 0x40000, WS_EX_LAYERED = 0x80000,
                WS_EX_LAYOUTRTL = 0x400000, WS_EX_COMPOSITED = 0x2000000,
                WS_EX_NOACTIVATE = 0x8000000;
// Class styles.
constexpr UINT CS_VREDRAW = 0x1, CS_HREDRAW = 0x2, CS_DBLCLKS = 0x8, CS_OWNDC = 0x20,
               CS_CLASSDC = 0x40, CS_PARENTDC = 0x80, CS_NOCLOSE = 0x200, CS_SAVEBITS = 0x800,
               CS_GLOBALCLASS = 0x4000, CS_DROPSHADOW = 0x20000;

constexpr int CW_USEDEFAULT = int(0x80000000);

// ShowWindow commands.
constexpr int SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_NORMAL = 1, SW_SHOWMINIMIZED = 2,
              SW_SHOWMAXIMIZED = 3, SW_MAXIMIZE = 3, SW_SHOWNOACTIVATE = 4, SW_SHOW = 5,
              SW_MINIMIZE = 6, SW_SHOWMINNOACTIVE = 7, SW_SHOWNA = 8, SW_RESTORE = 9,
              SW_SHOWDEFAULT = 10;
// SetWindowPos flags and insert-after values.
constexpr UINT SWP_NOSIZE = 0x1, SWP_NOMOVE = 0x2, SWP_NOZORDER = 0x4, SWP_NOREDRAW = 0x8,
               SWP_NOACTIVATE = 0x10, SWP_FRAMECHANGED = 0x20, SWP_DRAWFRAME = 0x20,
               SWP_SHOWWINDOW = 0x40, SWP_HIDEWINDOW = 0x80, SWP_NOCOPYBITS = 0x100,
               SWP_NOOWNERZORDER = 0x200, SWP_NOREPOSITION = 0x200,
               SWP_NOSENDCHANGING = 0x400, SWP_DEFERERASE = 0x2000,
               SWP_ASYNCWINDOWPOS = 0x4000;
inline const HWND HWND_TOP = reinterpret_cast<HWND>(intptr_t(0));
inline const HWND HWND_BOTTOM = reinterpret_cast<HWND>(intptr_t(1));
inline const HWND HWND_TOPMOST = reinterpret_cast<HWND>(intptr_t(-1));
inline const HWND HWND_NOTOPMOST = reinterpret_cast<HWND>(intptr_t(-2));
inline const HWND HWND_MESSAGE = reinterpret_cast<HWND>(intptr_t(-3));
inline const HWND HWND_BROADCAST = reinterpret_cast<HWND>(intptr_t(0xFFFF));

// Window data indexes.
constexpr int GWL_WNDPROC = -4, GWLP_WNDPROC = -4, GWLP_HINSTANCE = -6, GWLP_HWNDPARENT = -8,
              GWL_ID = -12, GWLP_ID = -12, GWL_STYLE = -16, GWL_EXSTYLE = -20,
              GWL_USERDATA = -21, GWLP_USERDATA = -21;
constexpr int GCL_MENUNAME = -8, GCLP_HBRBACKGROUND = -10, GCLP_HCURSOR = -12,
              GCLP_HICON = -14, GCL_CBWNDEXTRA = -18, GCLP_WNDPROC = -24, GCL_STYLE = -26;
// GetWindow and GetAncestor.
constexpr UINT GW_HWNDFIRST = 0, GW_HWNDLAST = 1, GW_HWNDNEXT = 2, GW_HWNDPREV = 3,
               GW_OWNER = 4, GW_CHILD = 5, GW_ENABLEDPOPUP = 6;
constexpr UINT GA_PARENT = 1, GA_ROOT = 2, GA_ROOTOWNER = 3;
// ChildWindowFromPointEx.
constexpr UINT CWP_ALL = 0, CWP_SKIPINVISIBLE = 1, CWP_SKIPDISABLED = 2,
               CWP_SKIPTRANSPARENT = 4;

// ---- painting ------------------------------------------------------------------------------

constexpr UINT RDW_INVALIDATE = 0x1, RDW_INTERNALPAINT = 0x2, RDW_ERASE = 0x4,
               RDW_VALIDATE = 0x8, RDW_NOINTERNALPAINT = 0x10, RDW_NOERASE = 0x20,
               RDW_NOCHILDREN = 0x40, RDW_ALLCHILDREN = 0x80, RDW_UPDATENOW = 0x100,
               RDW_ERASENOW = 0x200, RDW_FRAME = 0x400, RDW_NOFRAME = 0x800;
constexpr UINT SW_SCROLLCHILDREN = 0x1, SW_INVALIDATE = 0x2, SW_ERASE = 0x4;
constexpr DWORD DCX_WINDOW = 0x1, DCX_CACHE = 0x2, DCX_NORESETATTRS = 0x4,
                DCX_CLIPCHILDREN = 0x8, DCX_CLIPSIBLINGS = 0x10, DCX_PARENTCLIP = 0x20,
                DCX_EXCLUDERGN = 0x40, DCX_INTERSECTRGN = 0x80, DCX_EXCLUDEUPDATE = 0x100,
                DCX_INTERSECTUPDATE = 0x200, DCX_LOCKWINDOWUPDATE = 0x400,
                DCX_VALIDATE = 0x200000;

struct PAINTSTRUCT {
  HDC hdc = nullptr;
  BOOL fErase = FALSE;  // the background still needs erasing
  RECT rcPaint;         // bounds of the update region, client coordinates
  BOOL fRestore = FALSE;
  BOOL fIncUpdate = FALSE;
  BYTE rgbReserved[32] = {};
};

// ---- scroll bars ---------------------------------------------------------------------------

constexpr int SB_HORZ = 0, SB_VERT = 1, SB_CTL = 2, SB_BOTH = 3;
constexpr int SB_LINEUP = 0, SB_LINELEFT = 0, SB_LINEDOWN = 1, SB_LINERIGHT = 1,
              SB_PAGEUP = 2, SB_PAGELEFT = 2, SB_PAGEDOWN = 3, SB_PAGERIGHT = 3,
              SB_THUMBPOSITION = 4, SB_THUMBTRACK = 5, SB_TOP = 6, SB_LEFT = 6,
              SB_BOTTOM = 7, SB_RIGHT = 7, SB_ENDSCROLL = 8;
constexpr UINT SIF_RANGE = 0x1, SIF_PAGE = 0x2, SIF_POS = 0x4, SIF_DISABLENOSCROLL = 0x8,
               SIF_TRACKPOS = 0x10, SIF_ALL = 0x17;
constexpr UINT ESB_ENABLE_BOTH = 0, ESB_DISABLE_LTUP = 1, ESB_DISABLE_LEFT = 1,
               ESB_DISABLE_UP = 1, ESB_DISABLE_RTDN = 2, ESB_DISABLE_RIGHT = 2,
               ESB_DISABLE_DOWN = 2, ESB_DISABLE_BOTH = 3;
constexpr LONG OBJID_WINDOW = 0, OBJID_SYSMENU = -1, OBJID_TITLEBAR = -2, OBJID_MENU = -3,
               OBJID_CLIENT = -4, OBJID_VSCROLL = -5, OBJID_HSCROLL = -6,
               OBJID_SIZEGRIP = -7;
constexpr DWORD STATE_SYSTEM_UNAVAILABLE = 0x1, STATE_SYSTEM_PRESSED = 0x8,
                STATE_SYSTEM_INVISIBLE = 0x8000, STATE_SYSTEM_OFFSCREEN = 0x10000;

struct SCROLLINFO {
  UINT cbSize = sizeof(SCROLLINFO);
  UINT fMask = 0;
  int nMin = 0;
  int nMax = 0;
  UINT nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};
static_assert(sizeof(SCROLLINFO) == 28);

struct SCROLLBARINFO {
  DWORD cbSize = sizeof(SCROLLBARINFO);
  RECT rcScrollBar;  // screen coordinates
  int dxyLineButton = 0;
  int xyThumbTop = 0;
  int xyThumbBottom = 0;
  int reserved = 0;
  DWORD rgstate[6] = {};  // 0 the bar, 1 top arrow, 2 page up, 3 thumb, 4 page down, 5 arrow
};
static_assert(sizeof(SCROLLBARINFO) == 60);

// ---- structures ----------------------------------------------------------------------------

struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  POINT pt;
};

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);
using HOOKPROC = LRESULT (*)(int code, WPARAM, LPARAM);
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);

struct WNDCLASS {
  UINT style = 0;
  WNDPROC lpfnWndProc = nullptr;
  int cbClsExtra = 0;
  int cbWndExtra = 0;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;  // a brush, or a system colour index + 1
  const char* lpszMenuName = nullptr;
  const char* lpszClassName = nullptr;
};
using WNDCLASSEX = WNDCLASS;

struct CREATESTRUCT {
  void* lpCreateParams = nullptr;
  HINSTANCE hInstance = nullptr;
  HMENU hMenu = nullptr;
  HWND hwndParent = nullptr;
  int cy = 0;
  int cx = 0;
  int y = 0;
  int x = 0;
  LONG style = 0;
  const char* lpszName = nullptr;
  const char* lpszClass = nullptr;
  DWORD dwExStyle = 0;
};

struct WINDOWPOS {
  HWND hwnd = nullptr;
  HWND hwndInsertAfter = nullptr;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  UINT flags = 0;
};

struct NCCALCSIZE_PARAMS {
  RECT rgrc[3];  // [0]: the proposed window rectangle in, the client rectangle out
  WINDOWPOS* lppos = nullptr;
};

struct MINMAXINFO {
  POINT ptReserved;
  POINT ptMaxSize;
  POINT ptMaxPosition;
  POINT ptMinTrackSize;
  POINT ptMaxTrackSize;
};

struct CWPSTRUCT {
  LPARAM lParam = 0;
  WPARAM wParam = 0;
  UINT message = 0;
  HWND hwnd = nullptr;
};

struct CWPRETSTRUCT {
  LRESULT lResult = 0;
  LPARAM lParam = 0;
  WPARAM wParam = 0;
  UINT message = 0;
  HWND hwnd = nullptr;
};

struct MOUSEHOOKSTRUCT {
  POINT pt;  // screen coordinates
  HWND hwnd = nullptr;
  UINT wHitTestCode = 0;
  ULONG_PTR dwExtraInfo = 0;
};

struct TRACKMOUSEEVENT {
  DWORD cbSize = sizeof(TRACKMOUSEEVENT);
  DWORD dwFlags = 0;
  HWND hwndTrack = nullptr;
  DWORD dwHoverTime = 0;
};
constexpr DWORD TME_HOVER = 0x1, TME_LEAVE = 0x2, TME_NONCLIENT = 0x10, TME_QUERY = 0x40000000,
                TME_CANCEL = 0x80000000, HOVER_DEFAULT = 0xFFFFFFFF;

// ---- the system menu ------------------------------------------------------------------------

// A window with WS_SYSMENU has a system menu: Restore, Move, Size, Minimize, Maximize, a
// separator and Close (the frame's commands, SC_*). `GetSystemMenu` (wnd, FALSE) answers the
// window's own copy, made on first use; (wnd, TRUE) puts the standard entries back and answers
// null. `DeleteMenu` removes an entry by command (MF_BYCOMMAND) or position (MF_BYPOSITION) and
// answers FALSE, changing nothing, when there is no such entry or the menu is gone.
constexpr UINT MF_BYCOMMAND = 0x0000, MF_BYPOSITION = 0x0400, MF_SEPARATOR = 0x0800;
HMENU GetSystemMenu(HWND wnd, BOOL revert);
BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);
int GetMenuItemCount(HMENU menu);
// The command of the entry at a position: 0 for a separator, -1 (as UINT) when none.
UINT GetMenuItemID(HMENU menu, int position);

// ---- window classes and windows ------------------------------------------------------------

ATOM RegisterClass(const WNDCLASS* wc);
ATOM RegisterClassEx(const WNDCLASSEX* wc);
BOOL UnregisterClass(const char* className, HINSTANCE instance);
BOOL GetClassInfo(HINSTANCE instance, const char* className, WNDCLASS* wc);
int GetClassName(HWND wnd, char* buffer, int size);
ULONG_PTR GetClassLongPtr(HWND wnd, int index);
ULONG_PTR SetClassLongPtr(HWND wnd, int index, LONG_PTR value);

// parent HWND_MESSAGE makes a message-only window (never shown, no broadcasts).
HWND CreateWindowEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menuOrId,
                    HINSTANCE instance, void* param);
HWND CreateWindow(const char* className, const char* windowName, DWORD style, int x, int y,
                  int width, int height, HWND parent, HMENU menuOrId, HINSTANCE instance,
                  void* param);
BOOL DestroyWindow(HWND wnd);
BOOL IsWindow(HWND wnd);
BOOL IsWindowVisible(HWND wnd);  // the window and all its ancestors have WS_VISIBLE
BOOL IsWindowEnabled(HWND wnd);
BOOL EnableWindow(HWND wnd, BOOL enable);  // returns whether it was disabled before
BOOL IsIconic(HWND wnd);
BOOL IsZoomed(HWND wnd);
BOOL IsChild(HWND parent, HWND wnd);  // any depth, through child windows only
HWND GetParent(HWND wnd);             // the parent of a child window, the owner of others
HWND SetParent(HWND wnd, HWND newParent);
HWND GetAncestor(HWND wnd, UINT flags);
HWND GetWindow(HWND wnd, UINT cmd);
HWND GetTopWindow(HWND wnd);
HWND GetNextWindow(HWND wnd, UINT cmd);
HWND GetDesktopWindow();
BOOL EnumWindows(WNDENUMPROC proc, LPARAM param);
BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM param);
HWND GetDlgItem(HWND dlg, int id);
int GetDlgCtrlID(HWND wnd);

LONG_PTR GetWindowLongPtr(HWND wnd, int index);
LONG_PTR SetWindowLongPtr(HWND wnd, int index, LONG_PTR value);
LONG GetWindowLong(HWND wnd, int index);
LONG SetWindowLong(HWND wnd, int index, LONG value);
BOOL SetProp(HWND wnd, const char* name, HANDLE data);
HANDLE GetProp(HWND wnd, const char* name);
HANDLE RemoveProp(HWND wnd, const char* name);

int GetWindowText(HWND wnd, char* buffer, int size);  // bytes copied, zero-terminated
int GetWindowTextLength(HWND wnd);                     // bytes
BOOL SetWindowText(HWND wnd, const char* text);
String GetWindowTextString(HWND wnd);  // the whole text, through WM_GETTEXT

BOOL ShowWindow(HWND wnd, int cmd);  // returns whether it was visible before
BOOL SetWindowPos(HWND wnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
BOOL MoveWindow(HWND wnd, int x, int y, int width, int height, BOOL repaint);
BOOL BringWindowToTop(HWND wnd);
BOOL GetWindowRect(HWND wnd, RECT* r);  // screen coordinates
BOOL GetClientRect(HWND wnd, RECT* r);  // (0, 0, width, height)
BOOL AdjustWindowRectEx(RECT* r, DWORD style, BOOL menu, DWORD exStyle);
BOOL ClientToScreen(HWND wnd, POINT* p);
BOOL ScreenToClient(HWND wnd, POINT* p);
// from/to null: screen. Returns the horizontal offset in the low word, vertical in the high.
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);
HWND WindowFromPoint(POINT screen);  // asks WM_NCHITTEST, skips HTTRANSPARENT windows
HWND ChildWindowFromPoint(HWND parent, POINT client);
HWND ChildWindowFromPointEx(HWND parent, POINT client, UINT flags);
// The region is owned by the window afterwards (window coordinates); null removes it.
int SetWindowRgn(HWND wnd, HRGN rgn, BOOL redraw);
int GetWindowRgn(HWND wnd, HRGN rgn);  // copies into rgn; ERROR when there is none

LRESULT DefWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProc(WNDPROC proc, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// A hidden top-level window whose messages go to the handler: it receives timers,
// posted messages and the broadcasts of system changes. Destroy with DeallocateHWnd.
using TWindowHandler = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;
HWND AllocateHWnd(TWindowHandler handler);
void DeallocateHWnd(HWND wnd);

// ---- messages and the queue ----------------------------------------------------------------

constexpr UINT PM_NOREMOVE = 0x0, PM_REMOVE = 0x1, PM_NOYIELD = 0x2;
constexpr DWORD QS_KEY = 0x1, QS_MOUSEMOVE = 0x2, QS_MOUSEBUTTON = 0x4, QS_POSTMESSAGE = 0x8,
                QS_TIMER = 0x10, QS_PAINT = 0x20, QS_SENDMESSAGE = 0x40, QS_MOUSE = 0x6,
                QS_INPUT = 0x7, QS_ALLINPUT = 0xFF;

LRESULT SendMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PostMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PostThreadMessage(DWORD thread, UINT msg, WPARAM wParam, LPARAM lParam);
// One thread: delivered at once, like SendMessage, without the result.
BOOL SendNotifyMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Returns FALSE for WM_QUIT, -1 for an invalid window filter.
BOOL GetMessage(MSG* msg, HWND wnd, UINT filterMin, UINT filterMax);
BOOL PeekMessage(MSG* msg, HWND wnd, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessage(const MSG* msg);
void PostQuitMessage(int exitCode);
BOOL WaitMessage();  // blocks until a message or input arrives (or a timer is due)
DWORD GetQueueStatus(UINT flags);
DWORD GetMessagePos();  // screen position of the last retrieved message, x low, y high
LONG GetMessageTime();
BOOL InSendMessage();
DWORD GetCurrentThreadId();
DWORD GetTickCount();
UINT RegisterWindowMessage(const char* name);  // 0xC000..0xFFFF, same name same number

// Sends a system change (WM_SYSCOLORCHANGE, WM_SETTINGCHANGE, WM_THEMECHANGED,
// WM_FONTCHANGE...) to every top-level window, hidden ones included.
void BroadcastSystemChange(UINT msg, WPARAM wParam, LPARAM lParam);

// ---- painting ------------------------------------------------------------------------------

HDC BeginPaint(HWND wnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND wnd, const PAINTSTRUCT* ps);
BOOL InvalidateRect(HWND wnd, const RECT* r, BOOL erase);  // null wnd: every window
BOOL InvalidateRgn(HWND wnd, HRGN rgn, BOOL erase);
BOOL ValidateRect(HWND wnd, const RECT* r);
BOOL ValidateRgn(HWND wnd, HRGN rgn);
BOOL GetUpdateRect(HWND wnd, RECT* r, BOOL erase);
int GetUpdateRgn(HWND wnd, HRGN rgn, BOOL erase);
BOOL UpdateWindow(HWND wnd);
BOOL RedrawWindow(HWND wnd, const RECT* r, HRGN rgn, UINT flags);
BOOL LockWindowUpdate(HWND wnd);
HDC GetDC(HWND wnd);  // null: the screen (the overlay above every top-level window)
HDC GetDCEx(HWND wnd, HRGN clip, DWORD flags);
HDC GetWindowDC(HWND wnd);
int ReleaseDC(HWND wnd, HDC dc);
HWND WindowFromDC(HDC dc);
int ExcludeUpdateRgn(HDC dc, HWND wnd);
BOOL ScrollWindow(HWND wnd, int dx, int dy, const RECT* scroll, const RECT* clip);
int ScrollWindowEx(HWND wnd, int dx, int dy, const RECT* scroll, const RECT* clip,
                   HRGN update, RECT* updateRect, UINT flags);
// Paints the window (and its children) into a device context through WM_PRINT.
BOOL PrintWindow(HWND wnd, HDC dc, UINT flags);

// Painted (non-client) scroll bars of a window with WS_HSCROLL / WS_VSCROLL, or of a
// scroll-bar control with SB_CTL.
int SetScrollInfo(HWND wnd, int bar, const SCROLLINFO* si, BOOL redraw);
BOOL GetScrollInfo(HWND wnd, int bar, SCROLLINFO* si);
int SetScrollPos(HWND wnd, int bar, int pos, BOOL redraw);
int GetScrollPos(HWND wnd, int bar);
BOOL SetScrollRange(HWND wnd, int bar, int minPos, int maxPos, BOOL redraw);
BOOL GetScrollRange(HWND wnd, int bar, int* minPos, int* maxPos);
BOOL ShowScrollBar(HWND wnd, int bar, BOOL show);
BOOL EnableScrollBar(HWND wnd, UINT bar, UINT arrows);
BOOL GetScrollBarInfo(HWND wnd, LONG object, SCROLLBARINFO* info);

// ---- input ---------------------------------------------------------------------------------

HWND SetCapture(HWND wnd);
BOOL ReleaseCapture();
HWND GetCapture();
BOOL GetCursorPos(POINT* p);
BOOL SetCursorPos(int x, int y);
SHORT GetKeyState(int vk);       // as of the last message retrieved: bit 15 down, bit 0 toggled
SHORT GetAsyncKeyState(int vk);  // as the keyboard is now
BOOL GetKeyboardState(BYTE* state);  // 256 bytes
BOOL SetKeyboardState(const BYTE* state);
UINT GetDoubleClickTime();
BOOL SetDoubleClickTime(UINT ms);  // 0 restores the default, 500 ms
BOOL TrackMouseEvent(TRACKMOUSEEVENT* tme);
BOOL DragDetect(HWND wnd, POINT screen);
HWND SetFocus(HWND wnd);
HWND GetFocus();
HWND SetActiveWindow(HWND wnd);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND wnd);
HWND GetForegroundWindow();

// ---- caret ---------------------------------------------------------------------------------

BOOL CreateCaret(HWND wnd, HBITMAP bitmap, int width, int height);
BOOL DestroyCaret();
BOOL ShowCaret(HWND wnd);
BOOL HideCaret(HWND wnd);
BOOL SetCaretPos(int x, int y);
BOOL GetCaretPos(POINT* p);
UINT GetCaretBlinkTime();
BOOL SetCaretBlinkTime(UINT ms);

// ---- timers --------------------------------------------------------------------------------

constexpr UINT USER_TIMER_MINIMUM = 0x0000000A, USER_TIMER_MAXIMUM = 0x7FFFFFFF;
// With a window: the identifier is the caller's; setting it again restarts the period.
// Without a window: a new identifier is returned, or the existing one when id names one.
UINT_PTR SetTimer(HWND wnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND wnd, UINT_PTR id);

// ---- hooks ---------------------------------------------------------------------------------

struct HHOOK__;
using HHOOK = HHOOK__*;
constexpr int WH_MSGFILTER = -1, WH_KEYBOARD = 2, WH_GETMESSAGE = 3, WH_CALLWNDPROC = 4,
              WH_CBT = 5, WH_MOUSE = 7, WH_CALLWNDPROCRET = 12;
constexpr int HC_ACTION = 0, HC_NOREMOVE = 3;
// Thread-local hooks: the newest hook of a kind is called first and passes on with
// CallNextHookEx. WH_GETMESSAGE gets PM_REMOVE/PM_NOREMOVE and the MSG (which it may
// rewrite); WH_MOUSE gets the message and a MOUSEHOOKSTRUCT (non-zero discards the message);
// WH_CALLWNDPROC gets a CWPSTRUCT before the window procedure; WH_KEYBOARD the key and
// its lParam (non-zero discards).
HHOOK SetWindowsHookEx(int idHook, HOOKPROC proc, HINSTANCE module, DWORD threadId);
BOOL UnhookWindowsHookEx(HHOOK hook);
LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

// ---- cursors and icons ---------------------------------------------------------------------

// Standard cursor identifiers for LoadCursor(nullptr, IDC_...).
inline const char* MAKEINTRESOURCE(int id) { return reinterpret_cast<const char*>(intptr_t(id)); }
inline const char* const IDC_ARROW = MAKEINTRESOURCE(32512);
inline const char* const IDC_IBEAM = MAKEINTRESOURCE(32513);
inline const char* const IDC_WAIT = MAKEINTRESOURCE(32514);
inline const char* const IDC_CROSS = MAKEINTRESOURCE(32515);
inline const char* const IDC_UPARROW = MAKEINTRESOURCE(32516);
inline const char* const IDC_SIZE = MAKEINTRESOURCE(32640);
inline const char* const IDC_ICON = MAKEINTRESOURCE(32641);
inline const char* const IDC_SIZENWSE = MAKEINTRESOURCE(32642);
inline const char* const IDC_SIZENESW = MAKEINTRESOURCE(32643);
inline const char* const IDC_SIZEWE = MAKEINTRESOURCE(32644);
inline const char* const IDC_SIZENS = MAKEINTRESOURCE(32645);
inline const char* const IDC_SIZEALL = MAKEINTRESOURCE(32646);
inline const char* const IDC_NO = MAKEINTRESOURCE(32648);
inline const char* const IDC_HAND = MAKEINTRESOURCE(32649);
inline const char* const IDC_APPSTARTING = MAKEINTRESOURCE(32650);
inline const char* const IDC_HELP = MAKEINTRESOURCE(32651);
inline const char* const IDI_APPLICATION = MAKEINTRESOURCE(32512);

struct ICONINFO {
  BOOL fIcon = FALSE;
  DWORD xHotspot = 0;
  DWORD yHotspot = 0;
  HBITMAP hbmMask = nullptr;   // 1 bit: 1 where the screen shows through
  HBITMAP hbmColor = nullptr;  // 32 bits; null: the mask holds AND and XOR halves
};

// A standard cursor (instance null, IDC_ identifier); a named one not found gives null.
HCURSOR LoadCursor(HINSTANCE instance, const char* name);
HICON LoadIcon(HINSTANCE instance, const char* name);
// Our own cursor images: 0xAARRGGBB pixels (alpha 0 transparent, 255 opaque), copied.
HCURSOR CreateCursorFromPixels(int width, int height, const uint32_t* pixels, int hotX,
                               int hotY);
HICON CreateIconIndirect(const ICONINFO* info);
HCURSOR CopyCursor(HCURSOR cursor);
BOOL DestroyCursor(HCURSOR cursor);  // standard cursors are never destroyed
BOOL DestroyIcon(HICON icon);
HCURSOR SetCursor(HCURSOR cursor);  // returns the previous one
HCURSOR GetCursor();
int ShowCursor(BOOL show);  // the display count
BOOL GetIconInfo(HICON icon, ICONINFO* info);
// The cursor's standard identifier (32512...), or 0 for a cursor made from pixels.
int GetCursorStandardId(HCURSOR cursor);
// How far a cursor's visible image reaches below its hot spot, in pixels, read from its mask
// (the rows from the hot spot down to the last one with a visible pixel); the system cursor
// height (SM_CYCURSOR) when the mask cannot be read, as for the standard shapes.
int GetCursorHeightBelowHotSpot(HCURSOR cursor);

// ---- clipboard -----------------------------------------------------------------------------

constexpr UINT CF_TEXT = 1, CF_BITMAP = 2, CF_METAFILEPICT = 3, CF_OEMTEXT = 7, CF_DIB = 8,
               CF_UNICODETEXT = 13, CF_LOCALE = 16, CF_DIBV5 = 17;
// Global memory blocks carry clipboard data.
using HGLOBAL = HANDLE;
constexpr UINT GMEM_FIXED = 0x0, GMEM_MOVEABLE = 0x2, GMEM_ZEROINIT = 0x40,
               GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
HGLOBAL GlobalAlloc(UINT flags, size_t bytes);
void* GlobalLock(HGLOBAL mem);
BOOL GlobalUnlock(HGLOBAL mem);
size_t GlobalSize(HGLOBAL mem);
HGLOBAL GlobalFree(HGLOBAL mem);  // null on success

// CF_TEXT holds UTF-8, CF_UNICODETEXT UTF-16, both zero-terminated; either one set is
// offered in the other format too. CF_BITMAP holds an HBITMAP the clipboard owns.
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
HANDLE SetClipboardData(UINT format, HANDLE data);
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);
int CountClipboardFormats();
UINT EnumClipboardFormats(UINT format);
UINT RegisterClipboardFormat(const char* name);
HWND GetClipboardOwner();
// Text shortcuts over the calls above (each opens and closes the clipboard itself).
bool SetClipboardText(const String& utf8);
bool GetClipboardText(String& utf8);

// ---- screen and monitors -------------------------------------------------------------------

struct HMONITOR__;
using HMONITOR = HMONITOR__*;
constexpr DWORD MONITOR_DEFAULTTONULL = 0, MONITOR_DEFAULTTOPRIMARY = 1,
                MONITOR_DEFAULTTONEAREST = 2, MONITORINFOF_PRIMARY = 1;
struct MONITORINFO {
  DWORD cbSize = sizeof(MONITORINFO);
  RECT rcMonitor;
  RECT rcWork;
  DWORD dwFlags = 0;
};
HMONITOR MonitorFromPoint(POINT p, DWORD flags);
HMONITOR MonitorFromRect(const RECT* r, DWORD flags);
HMONITOR MonitorFromWindow(HWND wnd, DWORD flags);
BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFO* info);

constexpr UINT SPI_GETBEEP = 0x1, SPI_GETMOUSE = 0x3, SPI_GETBORDER = 0x5,
               SPI_GETKEYBOARDSPEED = 0xA, SPI_GETSCREENSAVEACTIVE = 0x10,
               SPI_GETKEYBOARDDELAY = 0x16, SPI_SETDOUBLECLKWIDTH = 0x1D,
               SPI_SETDOUBLECLKHEIGHT = 0x1E, SPI_SETDOUBLECLICKTIME = 0x20,
               SPI_GETDRAGFULLWINDOWS = 0x26, SPI_GETNONCLIENTMETRICS = 0x29,
               SPI_SETNONCLIENTMETRICS = 0x2A, SPI_SETWORKAREA = 0x2F, SPI_GETWORKAREA = 0x30,
               SPI_GETHIGHCONTRAST = 0x42, SPI_GETFONTSMOOTHING = 0x4A,
               SPI_GETMOUSEHOVERWIDTH = 0x62, SPI_GETMOUSEHOVERHEIGHT = 0x64,
               SPI_GETMOUSEHOVERTIME = 0x66, SPI_GETWHEELSCROLLLINES = 0x68,
               SPI_SETWHEELSCROLLLINES = 0x69, SPI_GETMENUSHOWDELAY = 0x6A,
               SPI_GETWHEELSCROLLCHARS = 0x6C, SPI_SETWHEELSCROLLCHARS = 0x6D,
               SPI_GETMENUANIMATION = 0x1002, SPI_GETCOMBOBOXANIMATION = 0x1004,
               SPI_GETLISTBOXSMOOTHSCROLLING = 0x1006, SPI_GETGRADIENTCAPTIONS = 0x1008,
               SPI_GETKEYBOARDCUES = 0x100A, SPI_GETHOTTRACKING = 0x100E,
               SPI_GETMENUFADE = 0x1012, SPI_GETSELECTIONFADE = 0x1014,
               SPI_GETTOOLTIPANIMATION = 0x1016, SPI_GETTOOLTIPFADE = 0x1018,
               SPI_GETCURSORSHADOW = 0x101A, SPI_GETFLATMENU = 0x1022,
               SPI_GETDROPSHADOW = 0x1024, SPI_GETUIEFFECTS = 0x103E,
               SPI_GETCARETWIDTH = 0x2006, SPI_GETICONTITLELOGFONT = 0x1F;
struct NONCLIENTMETRICS {
  UINT cbSize = sizeof(NONCLIENTMETRICS);
  int iBorderWidth = 0;
  int iScrollWidth = 0;
  int iScrollHeight = 0;
  int iCaptionWidth = 0;
  int iCaptionHeight = 0;
  LOGFONT lfCaptionFont;
  int iSmCaptionWidth = 0;
  int iSmCaptionHeight = 0;
  LOGFONT lfSmCaptionFont;
  int iMenuWidth = 0;
  int iMenuHeight = 0;
  LOGFONT lfMenuFont;
  LOGFONT lfStatusFont;
  LOGFONT lfMessageFont;
};
constexpr UINT SPIF_UPDATEINIFILE = 0x1, SPIF_SENDCHANGE = 0x2, SPIF_SENDWININICHANGE = 0x2;
// Values are read into pvParam (BOOL, UINT or RECT as the platform documents); the
// setters change this program's values, and with SPIF_SENDCHANGE broadcast
// WM_SETTINGCHANGE with the action in wParam.
BOOL SystemParametersInfo(UINT action, UINT uiParam, void* pvParam, UINT winIni);

// ---- sounds and messages to the user -------------------------------------------------------

BOOL MessageBeep(UINT type);
