#include "vcl/Clipbrd.h"

#include <cstring>

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

UINT CF_PICTURE() {
  static const UINT format = RegisterClipboardFormat("Korvan Picture");
  return format;
}

namespace {
HGLOBAL GlobalOf(const String& bytes) {
  HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (h && !bytes.empty()) {
    memcpy(GlobalLock(h), bytes.data(), bytes.size());
    GlobalUnlock(h);
  }
  return h;
}
bool BytesOf(UINT format, String& bytes) {
  HGLOBAL h = GetClipboardData(format);
  if (!h) return false;
  const size_t n = GlobalSize(h);
  const void* p = GlobalLock(h);
  bytes.assign(static_cast<const char*>(p), n);
  GlobalUnlock(h);
  return true;
}
}  // namespace

void TClipboard::Assign(TPersistent* source) {
  TBitmap copy;
  TGraphic* graphic = nullptr;
  if (auto* p = dynamic_cast<TPicture*>(source)) {
    if (!p->Graphic()) return;
    graphic = p->Graphic();
  } else if (auto* g = dynamic_cast<TGraphic*>(source)) {
    graphic = g;
  } else {
    TPersistent::Assign(source);
    return;
  }
  copy.Assign(graphic);
  TPicture picture;
  picture.SetGraphic(graphic);
  TStringStream data;
  picture.WriteData(data);
  auto* metafile = dynamic_cast<TMetafile*>(graphic);
  Open();
  EmptyClipboard();
  SetClipboardData(CF_BITMAP, copy.ReleaseHandle());
  SetClipboardData(CF_PICTURE(), GlobalOf(data.DataString()));
  if (metafile && !metafile->FileBytes().empty())
    SetClipboardData(CF_METAFILEPICT, GlobalOf(metafile->FileBytes()));
  Close();
}

void TClipboard::AssignTo(TPersistent* dest) {
  auto* picture = dynamic_cast<TPicture*>(dest);
  Open();
  String bytes;
  if (picture && BytesOf(CF_PICTURE(), bytes)) {
    Close();
    TStringStream s(bytes);
    picture->ReadData(s);
    return;
  }
  auto* metafile = dynamic_cast<TMetafile*>(dest);
  if ((picture || metafile) && BytesOf(CF_METAFILEPICT, bytes)) {
    Close();
    if (metafile) {
      metafile->LoadFromBytes(bytes);
      return;
    }
    TMetafile m;
    m.LoadFromBytes(bytes);
    picture->SetGraphic(&m);
    return;
  }
  if (metafile) {
    Close();
    throw EInvalidGraphic(vcl_consts::SUnknownClipboardFormat);
  }
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
  if (picture) picture->SetGraphic(&tmp);
  else if (auto* b = dynamic_cast<TBitmap*>(dest)) b->Assign(&tmp);
  else TPersistent::AssignTo(dest);
}
