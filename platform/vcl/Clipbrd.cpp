#include "vcl/Clipbrd.h"

#include "vcl/Consts.h"

KORVAN_IMPLEMENT_CLASS(TClipboard)

TClipboard* Clipboard() {
  static TClipboard c;
  return &c;
}

void TClipboard::Open() {
  if (openCount_++ == 0) OpenClipboard(nullptr);
}

void TClipboard::Close() {
  if (openCount_ > 0 && --openCount_ == 0) CloseClipboard();
}

String TClipboard::AsText() {
  String s;
  if (!GetClipboardText(s)) return {};
  return s;
}

void TClipboard::SetAsText(const String& v) { SetClipboardText(v); }

bool TClipboard::HasFormat(UINT format) { return IsClipboardFormatAvailable(format) != FALSE; }

Integer TClipboard::FormatCount() { return CountClipboardFormats(); }

void TClipboard::Clear() {
  Open();
  EmptyClipboard();
  Close();
}

void TClipboard::Assign(TPersistent* source) {
  TBitmap copy;
  if (auto* p = dynamic_cast<TPicture*>(source)) {
    if (!p->Graphic()) return;
    copy.Assign(p->Graphic());
  } else if (auto* g = dynamic_cast<TGraphic*>(source)) {
    copy.Assign(g);
  } else {
    TPersistent::Assign(source);
    return;
  }
  Open();
  EmptyClipboard();
  SetClipboardData(CF_BITMAP, copy.ReleaseHandle());
  Close();
}

void TClipboard::AssignTo(TPersistent* dest) {
  Open();
  auto bmp = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
  TBitmap tmp;
  if (bmp) {
    // The clipboard keeps its bitmap: draw a copy.
    BITMAP info;
    GetObject(bmp, sizeof info, &info);
    tmp.SetSize(info.bmWidth, info.bmHeight);
    HDC src = CreateCompatibleDC(nullptr);
    HGDIOBJ o = SelectObject(src, bmp);
    BitBlt(tmp.Canvas()->Handle(), 0, 0, info.bmWidth, info.bmHeight, src, 0, 0, SRCCOPY);
    SelectObject(src, o);
    DeleteDC(src);
  }
  Close();
  if (!bmp) throw EInvalidGraphic(vcl_consts::SUnknownClipboardFormat);
  if (auto* p = dynamic_cast<TPicture*>(dest)) p->SetGraphic(&tmp);
  else if (auto* b = dynamic_cast<TBitmap*>(dest)) b->Assign(&tmp);
  else TPersistent::AssignTo(dest);
}
