// Helpers shared by the Classes unit's implementation files; not part of its interface.
#pragma once

namespace rtl_internal {

// Runs `body` between the object's BeginUpdate and EndUpdate; EndUpdate also runs when `body`
// throws, and the exception goes on to the caller.
template <class T, class F>
void WithUpdate(T* obj, F&& body) {
  obj->BeginUpdate();
  try {
    body();
  } catch (...) {
    obj->EndUpdate();
    throw;
  }
  obj->EndUpdate();
}

}  // namespace rtl_internal
