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
  // Puts a copy of a bitmap (or a picture's graphic drawn on one) on the clipboard; a picture
  // or graphic also goes there in the picture format (its class and data), and a metafile
  // read from a file with its bytes as a metafile picture.
  void Assign(TPersistent* source) override;
  // Gets the clipboard's content into a bitmap (from the bitmap), a metafile (from the
  // metafile picture) or a picture (from the picture format, else the metafile picture, else
  // the bitmap). Raises EInvalidGraphic when nothing fitting is there.
  void AssignTo(TPersistent* dest) override;
  void Open();
  void Close();
  Integer FormatCount();

 private:
  Integer openCount_ = 0;
};

TClipboard* Clipboard();
// The clipboard format of pictures (a graphic's class name and data, as a picture stores them).
UINT CF_PICTURE();
