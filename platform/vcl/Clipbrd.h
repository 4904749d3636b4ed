// The clipboard as an object: text and pictures.
#pragma once

#include "vcl/Graphics.h"
#include "user/Windows.h"

class TClipboard : public TPersistent {
  KORVAN_CLASS(TClipboard, TPersistent)

 public:
  TClipboard() = default;
  String AsText();
  void SetAsText(const String& v);
  bool HasFormat(UINT format);
  void Clear();
  // Puts a copy of a bitmap (or a picture's graphic drawn on one) on the clipboard.
  void Assign(TPersistent* source) override;
  // Gets the clipboard's bitmap into a bitmap or picture.
  void AssignTo(TPersistent* dest) override;
  void Open();
  void Close();
  Integer FormatCount();

 private:
  Integer openCount_ = 0;
};

TClipboard* Clipboard();
