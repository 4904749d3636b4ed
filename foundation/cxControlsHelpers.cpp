// Control helpers: monitors and work areas, window conversions, characters and keys, the
// nested hourglass cursor, popup menus, form font scaling and designer notification.
#include <cstdlib>

#include "foundation/cxControls.h"
#include "rtl/SysUtils.h"

namespace {
Integer gHourglassCount = 0;
TCursor gSavedCursor = crDefault;
}  // namespace

void MonitorWorkAreaAt(const TPoint& p, TRect& workArea) {
  HMONITOR monitor = MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (monitor && GetMonitorInfo(monitor, &info)) {
    workArea = info.rcWork;
    return;
  }
  SystemParametersInfo(SPI_GETWORKAREA, 0, &workArea, 0);
}

void FitRectIntoWorkArea(TRect& r, const TPoint& p) {
  TRect area;
  MonitorWorkAreaAt(p, area);
  auto shift = [&r](Integer dx, Integer dy) {
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
  };
  if (r.Right > area.Right) shift(area.Right - r.Right, 0);
  if (r.Bottom > area.Bottom) shift(0, area.Bottom - r.Bottom);
  if (r.Left < area.Left) shift(area.Left - r.Left, 0);
  if (r.Top < area.Top) shift(0, area.Top - r.Top);
}

void ConvertPointBetweenWindows(HWND from, HWND to, TPoint& p) { MapWindowPoints(from, to, &p, 1); }

void ConvertRectBetweenWindows(HWND from, HWND to, TRect& r) {
  TPoint a = r.TopLeft(), b = r.BottomRight();
  ConvertPointBetweenWindows(from, to, a);
  ConvertPointBetweenWindows(from, to, b);
  r = TRect(a, b);
}

void QueryCursorPos(TPoint& p) { GetCursorPos(&p); }

bool HasChildWindowStyle(HWND wnd) { return (DWORD(GetWindowLong(wnd, GWL_STYLE)) & WS_CHILD) != 0; }

bool IsSameOrChildWindow(HWND wnd, HWND other) {
  for (HWND w = other; w; w = HasChildWindowStyle(w) ? GetParent(w) : nullptr)
    if (w == wnd) return true;
  return false;
}

namespace {
class TParamsReader : public TWinControl {
 public:
  static void Read(TWinControl* c, TCreateParams& params) { static_cast<TParamsReader*>(c)->CreateParams(params); }
};
}  // namespace

bool HandleCanBeCreated(TWinControl* control) {
  if (!control) return false;
  if (control->HandleAllocated() || control->ParentWindow()) return true;
  if (control->Parent()) return HandleCanBeCreated(control->Parent());
  TCreateParams params;
  TParamsReader::Read(control, params);
  if (params.WndParent || (params.Style & WS_CHILD) == 0) return true;
  auto* owner = dynamic_cast<TWinControl*>(control->Owner());
  if (owner && owner->ComponentState().Contains(csReading)) return HandleCanBeCreated(owner);
  return false;
}

bool WithinDragThreshold(const TPoint& start, Integer x, Integer y) {
  Integer threshold = GetSystemMetrics(SM_CXDRAG);
  return std::abs(x - start.X) < threshold && std::abs(y - start.Y) < threshold;
}

Integer SystemDoubleClickTime() { return Integer(GetDoubleClickTime()); }

bool IsNumberInputChar(char32_t c, Integer kind) {
  if ((c >= U'0' && c <= U'9') || c == U'+' || c == U'-') return true;
  char32_t sep = char32_t(static_cast<unsigned char>(FormatSettings.DecimalSeparator));
  if (kind == 1) return c == sep;
  if (kind == 2) return c == sep || c == U'e' || c == U'E';
  return false;
}

bool IsTextChar(char32_t c) { return c >= 32; }

String StripAccelChars(const String& text) {
  String result;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      result += text[i];
    } else if (i + 1 < text.size()) {
      result += text[++i];
    } else {
      result += '_';
    }
  }
  return result;
}

Word ShiftStateToMouseKeys(const TShiftState& shift) {
  Word keys = 0;
  if (shift.Contains(ssShift)) keys |= MK_SHIFT;
  if (shift.Contains(ssCtrl)) keys |= MK_CONTROL;
  if (shift.Contains(ssLeft)) keys |= MK_LBUTTON;
  if (shift.Contains(ssRight)) keys |= MK_RBUTTON;
  if (shift.Contains(ssMiddle)) keys |= MK_MBUTTON;
  return keys;
}

Word MapKeyCode(Word key) { return key; }

bool IsCtrlDown() { return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0; }

void PushHourglassCursor() {
  if (gHourglassCount == 0) {
    gSavedCursor = Screen->Cursor();
    Screen->SetCursor(crHourGlass);
  }
  ++gHourglassCount;
}

void PopHourglassCursor() {
  if (gHourglassCount == 0) return;
  if (--gHourglassCount == 0) Screen->SetCursor(gSavedCursor);
}

bool MenuHandlesShortCut(TComponent* menu, const TWMKey& message) {
  if (!menu) return false;
  if (auto* own = dynamic_cast<IcxPopupMenu*>(menu)) return own->IsShortCut(message);
  if (auto* popup = dynamic_cast<TPopupMenu*>(menu))
    return popup->IsShortCut(message.CharCode, KeyDataToShiftState(message.KeyData));
  return false;
}

bool InvokePopupMenu(TComponent* caller, TComponent* menu, Integer x, Integer y) {
  if (!menu) return false;
  if (auto* own = dynamic_cast<IcxPopupMenu*>(menu)) {
    own->Popup(x, y);
    return true;
  }
  if (auto* popup = dynamic_cast<TPopupMenu*>(menu); popup && popup->AutoPopup()) {
    popup->SetPopupComponent(caller);
    popup->Popup(x, y);
    return true;
  }
  return false;
}

Integer EstimatePopupMenuHeight(TPopupMenu* menu) {
  // Menu items of this platform have no measuring of their own: every visible item is one
  // line of the menu font (the default GUI font) plus 4.
  TcxScreenCanvas canvas;
  Integer standard = canvas.MeasureTextHeight("Qg") + 4;
  Integer sum = 0;
  if (TMenuItem* items = menu ? menu->Items() : nullptr)
    for (Integer i = 0; i < items->Count(); ++i)
      if (items->Items(i)->Visible()) sum += standard;
  return sum + 4;
}

void SetFormFontScaled(TCustomForm* form, TFont* font) {
  if (!form || !font) return;
  Integer before = form->Canvas()->TextHeight("Qq");
  form->Font()->Assign(font);
  form->Canvas()->Font()->Assign(form->Font());
  Integer after = form->Canvas()->TextHeight("Qq");
  if (before <= 0 || after == before) return;
  for (Integer i = 0; i < form->ControlCount(); ++i) {
    TControl* c = form->Controls(i);
    if (auto* w = dynamic_cast<TWinControl*>(c)) {
      w->ScaleBy(after, before);
    } else {
      c->SetBounds(MulDiv(c->Left(), after, before), MulDiv(c->Top(), after, before),
                   MulDiv(c->Width(), after, before), MulDiv(c->Height(), after, before));
    }
  }
  form->SetClientWidth(MulDiv(form->ClientWidth(), after, before));
  form->SetClientHeight(MulDiv(form->ClientHeight(), after, before));
}

void NotifyFormDesigner(TComponent* component) {
  // There is no form designer in this program: nothing is ever designed, so nothing is told.
  (void)component;
}

bool IsComponentLoading(TComponent* component) {
  return component && component->ComponentState().Contains(csLoading);
}

void InvalidateControlRect(TWinControl* control, const TRect& r, bool erase) {
  if (control && control->HandleAllocated()) InvalidateRect(control->Handle(), &r, erase);
}

void RedrawWithChildrenNow(TWinControl* control) {
  if (control && control->HandleAllocated())
    RedrawWindow(control->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}
