// Form text on arbitrary bytes, read into a form of the headless session: a read error or a
// loaded form, never a crash, hang or overflow.
#include <cstddef>
#include <cstdint>

#include "FuzzSession.h"
#include "vcl/FormReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  StartFuzzSession();
  auto* form = new TForm(Application);
  try {
    ReadComponentFromText(form, String(reinterpret_cast<const char*>(data), size));
  } catch (const Exception&) {
  }
  form->Free();
  return 0;
}
