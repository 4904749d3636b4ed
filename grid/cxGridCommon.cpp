#include "grid/cxGridCommon.h"

#include <functional>
#include <typeindex>

#include "grid/cxGridCustomView.h"
#include "vcl/Forms.h"
#include "vcl/Resources.h"

void RegisterGridResources();

KORVAN_IMPLEMENT_CLASS(TcxCustomGridChange)
KORVAN_IMPLEMENT_CLASS(TcxCustomGridViewChange)

namespace {
// The finaliser of splitmix64: every input bit reaches every output bit.
std::size_t Scramble(uint64_t x) {
  x += 0x9e3779b97f4a7c15ull;
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
  return std::size_t(x ^ (x >> 31));
}
std::size_t MixHash(std::size_t a, std::size_t b) { return Scramble(a ^ Scramble(b)); }
}  // namespace

TcxGridChangeKey TcxCustomGridChange::DuplicateKey() {
  return TcxGridChangeKey{reinterpret_cast<std::size_t>(ClassType()), nullptr, 0};
}

bool TcxCustomGridViewChange::IsDuplicateOf(TcxCustomGridChange* change) {
  return TcxCustomGridChange::IsDuplicateOf(change) &&
         static_cast<TcxCustomGridViewChange*>(change)->GridView() == gridView_;
}

TcxGridChangeKey TcxCustomGridViewChange::DuplicateKey() {
  TcxGridChangeKey key = TcxCustomGridChange::DuplicateKey();
  key.view = gridView_;
  return key;
}

std::size_t GridChangeKeyHash(const TcxGridChangeKey& k) {
  return MixHash(MixHash(k.kind, reinterpret_cast<std::size_t>(k.view)), k.extra);
}

void InitializeCxGridCommon() {
  InitUnit("cxGridCommon", [] {
    InitializeCxControls();
    RegisterGridResources();
    // The picture's arrow points right; its tip is the hot spot.
    if (ResourceExists("CX_GRIDSELECTROWCURSOR", RT_CURSOR_NAME))
      Screen->SetCursors(crcxGridSelectRow, LoadCursorResource("CX_GRIDSELECTROWCURSOR", 24, 16));
  });
}
