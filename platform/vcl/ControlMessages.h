// The class framework's own notification messages (CM_...) and the message record that
// window procedures and message handlers of controls receive. The numbers are the platform's:
// consecutive from CM_BASE in this order, which the library relies on when it exchanges them.
#pragma once

#include "rtl/Types.h"

// One message as a control's WndProc sees it. Result is what SendMessage returns.
struct TMessage {
  Cardinal Msg = 0;
  NativeUInt WParam = 0;
  NativeInt LParam = 0;
  NativeInt Result = 0;

  Word WParamLo() const { return Word(WParam & 0xFFFF); }
  Word WParamHi() const { return Word((WParam >> 16) & 0xFFFF); }
  Word LParamLo() const { return Word(LParam & 0xFFFF); }
  Word LParamHi() const { return Word((LParam >> 16) & 0xFFFF); }
};

constexpr Cardinal CM_BASE = 0xB000;
constexpr Cardinal CM_ACTIVATE = CM_BASE + 0;
constexpr Cardinal CM_DEACTIVATE = CM_BASE + 1;
constexpr Cardinal CM_GOTFOCUS = CM_BASE + 2;
constexpr Cardinal CM_LOSTFOCUS = CM_BASE + 3;
constexpr Cardinal CM_CANCELMODE = CM_BASE + 4;
constexpr Cardinal CM_DIALOGKEY = CM_BASE + 5;
constexpr Cardinal CM_DIALOGCHAR = CM_BASE + 6;
constexpr Cardinal CM_FOCUSCHANGED = CM_BASE + 7;
constexpr Cardinal CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr Cardinal CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr Cardinal CM_HITTEST = CM_BASE + 10;
constexpr Cardinal CM_VISIBLECHANGED = CM_BASE + 11;
constexpr Cardinal CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr Cardinal CM_COLORCHANGED = CM_BASE + 13;
constexpr Cardinal CM_FONTCHANGED = CM_BASE + 14;
constexpr Cardinal CM_CURSORCHANGED = CM_BASE + 15;
constexpr Cardinal CM_CTL3DCHANGED = CM_BASE + 16;
constexpr Cardinal CM_PARENTCTL3DCHANGED = CM_BASE + 17;
constexpr Cardinal CM_TEXTCHANGED = CM_BASE + 18;
constexpr Cardinal CM_MOUSEENTER = CM_BASE + 19;
constexpr Cardinal CM_MOUSELEAVE = CM_BASE + 20;
constexpr Cardinal CM_MENUCHANGED = CM_BASE + 21;
constexpr Cardinal CM_APPKEYDOWN = CM_BASE + 22;
constexpr Cardinal CM_APPSYSCOMMAND = CM_BASE + 23;
constexpr Cardinal CM_BUTTONPRESSED = CM_BASE + 24;
constexpr Cardinal CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr Cardinal CM_ENTER = CM_BASE + 26;
constexpr Cardinal CM_EXIT = CM_BASE + 27;
constexpr Cardinal CM_DESIGNHITTEST = CM_BASE + 28;
constexpr Cardinal CM_ICONCHANGED = CM_BASE + 29;
constexpr Cardinal CM_WANTSPECIALKEY = CM_BASE + 30;
constexpr Cardinal CM_INVOKEHELP = CM_BASE + 31;
constexpr Cardinal CM_WINDOWHOOK = CM_BASE + 32;
constexpr Cardinal CM_RELEASE = CM_BASE + 33;
constexpr Cardinal CM_SHOWHINTCHANGED = CM_BASE + 34;
constexpr Cardinal CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
constexpr Cardinal CM_SYSCOLORCHANGE = CM_BASE + 36;
constexpr Cardinal CM_WININICHANGE = CM_BASE + 37;
constexpr Cardinal CM_FONTCHANGE = CM_BASE + 38;
constexpr Cardinal CM_TIMECHANGE = CM_BASE + 39;
constexpr Cardinal CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr Cardinal CM_UIACTIVATE = CM_BASE + 41;
constexpr Cardinal CM_UIDEACTIVATE = CM_BASE + 42;
constexpr Cardinal CM_DOCWINDOWACTIVATE = CM_BASE + 43;
constexpr Cardinal CM_CONTROLLISTCHANGE = CM_BASE + 44;
constexpr Cardinal CM_GETDATALINK = CM_BASE + 45;
constexpr Cardinal CM_CHILDKEY = CM_BASE + 46;
constexpr Cardinal CM_DRAG = CM_BASE + 47;
constexpr Cardinal CM_HINTSHOW = CM_BASE + 48;
constexpr Cardinal CM_DIALOGHANDLE = CM_BASE + 49;
constexpr Cardinal CM_ISTOOLCONTROL = CM_BASE + 50;
constexpr Cardinal CM_RECREATEWND = CM_BASE + 51;
constexpr Cardinal CM_INVALIDATE = CM_BASE + 52;
constexpr Cardinal CM_SYSFONTCHANGED = CM_BASE + 53;
constexpr Cardinal CM_CONTROLCHANGE = CM_BASE + 54;
constexpr Cardinal CM_CHANGED = CM_BASE + 55;
constexpr Cardinal CM_DOCKCLIENT = CM_BASE + 56;
constexpr Cardinal CM_UNDOCKCLIENT = CM_BASE + 57;
constexpr Cardinal CM_FLOAT = CM_BASE + 58;
constexpr Cardinal CM_BORDERCHANGED = CM_BASE + 59;
constexpr Cardinal CM_BIDIMODECHANGED = CM_BASE + 60;
constexpr Cardinal CM_PARENTBIDIMODECHANGED = CM_BASE + 61;
constexpr Cardinal CM_ALLCHILDRENFLIPPED = CM_BASE + 62;
constexpr Cardinal CM_ACTIONUPDATE = CM_BASE + 63;
constexpr Cardinal CM_ACTIONEXECUTE = CM_BASE + 64;
constexpr Cardinal CM_HINTSHOWPAUSE = CM_BASE + 65;
constexpr Cardinal CM_DOCKNOTIFICATION = CM_BASE + 66;
constexpr Cardinal CM_MOUSEWHEEL = CM_BASE + 67;
constexpr Cardinal CM_ISSHORTCUT = CM_BASE + 68;

// Control notification messages reflected from a parent to the child that sent them
// (CN_BASE + the window message).
constexpr Cardinal CN_BASE = 0xBC00;
