// Picture data on arbitrary bytes: image files (PNG, JPEG, BMP) through the graphics layer,
// and a picture's stored data (class name, then the graphic's data) through the class
// framework. The first byte picks which.
#include <cstddef>
#include <cstdint>

#include "FuzzSession.h"
#include "gdi/Gdi.h"
#include "vcl/Graphics.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  StartFuzzSession();
  if (size == 0) return 0;
  if (data[0] % 2 == 0) {
    if (HBITMAP b = LoadBitmapFromMemory(data + 1, size - 1)) DeleteObject(b);
    return 0;
  }
  TMemoryStream m;
  if (size > 1) m.WriteBuffer(data + 1, Int64(size - 1));
  m.SetPosition(0);
  TPicture p;
  try {
    p.ReadData(m);
  } catch (const Exception&) {
  }
  return 0;
}
