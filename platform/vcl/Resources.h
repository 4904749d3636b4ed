// Resources embedded into the program at build time (korvan_embed_resources in
// platform/vcl/EmbedResources.cmake): form descriptions by the class name of their root,
// bitmaps and cursors (PNG files) by their file name without extension, upper case.
#pragma once

#include "rtl/Classes.h"
#include "user/Windows.h"

// Resource types.
inline constexpr const char* RT_RCDATA_NAME = "RCDATA";  // form descriptions and raw data
inline constexpr const char* RT_BITMAP_NAME = "BITMAP";  // pictures (PNG)
inline constexpr const char* RT_CURSOR_NAME = "CURSOR";  // cursor pictures (PNG)

void RegisterResource(const String& name, const String& type, const void* data, size_t size);
bool FindResourceData(const String& name, const String& type, String& bytes);
bool ResourceExists(const String& name, const String& type);

KORVAN_EXCEPTION(EResNotFound, Exception);

// A read-only stream over an embedded resource; raises EResNotFound "Resource X not found".
class TResourceStream : public TCustomMemoryStream {
  KORVAN_CLASS(TResourceStream, TCustomMemoryStream)

 public:
  TResourceStream(const String& name, const String& type);
  Int64 Write(const void* buffer, Int64 count) override;

 private:
  String data_;
};

class TBitmap;
// Reads a BITMAP resource (a PNG picture) into a bitmap; raises EResNotFound.
void LoadBitmapResource(TBitmap* bitmap, const String& name);
// A cursor made from a CURSOR resource (a PNG picture with alpha) with its hot spot; raises
// EResNotFound. The cursor lives as long as the program.
HCURSOR LoadCursorResource(const String& name, Integer hotX, Integer hotY);
