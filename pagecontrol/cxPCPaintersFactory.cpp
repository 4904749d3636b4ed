#include "pagecontrol/cxPCPaintersFactory.h"

#include <algorithm>
#include <memory>

#include "foundation/cxLookAndFeelPainters.h"
#include "foundation/cxLookAndFeels.h"
#include "pagecontrol/cxPCConsts.h"

namespace {

std::unique_ptr<TcxPCPaintersFactory> gFactory;

[[noreturn]] void RaiseFactoryError(const char* operation, const char* text) {
  throw Exception(String("TcxPCPaintersFactory.") + operation + ": " + text);
}

}  // namespace

TcxPCPaintersFactory* TcxPCPaintersFactory::Instance() { return gFactory.get(); }

TcxPCPaintersFactory* PaintersFactory() {
  if (!gFactory) RaiseFactoryError("GetDefaultStyleID", cxpc_consts::scxPCNoRegisteredStyles);
  return gFactory.get();
}

void RegisterPainterClass(TcxPCPainterClass cls) {
  if (!cls) return;
  if (!gFactory) gFactory = std::make_unique<TcxPCPaintersFactory>();
  auto& list = gFactory->classes_;
  if (std::find(list.begin(), list.end(), cls) == list.end()) list.push_back(cls);
}

void UnregisterPainterClass(TcxPCPainterClass cls) {
  if (!gFactory) return;
  auto& list = gFactory->classes_;
  list.erase(std::remove(list.begin(), list.end(), cls), list.end());
  if (list.empty()) gFactory.reset();
}

TcxPCPainterClass TcxPCPaintersFactory::GetPainterClass(TcxPCStyleID id) const {
  for (TcxPCPainterClass cls : classes_)
    if (cls->GetStyleID() == id) return cls;
  return nullptr;
}

TcxPCStyleID TcxPCPaintersFactory::GetStyleIDByLookAndFeel(TcxLookAndFeel* lookAndFeel) const {
  for (auto it = classes_.rbegin(); it != classes_.rend(); ++it)
    if ((*it)->IsDefaultForLookAndFeel(lookAndFeel)) return (*it)->GetStyleID();
  return -1;
}

TcxPCStyleID TcxPCPaintersFactory::GetDefaultStyleID(TcxLookAndFeel* lookAndFeel) const {
  if (classes_.empty()) RaiseFactoryError("GetDefaultStyleID", cxpc_consts::scxPCNoRegisteredStyles);
  for (auto it = classes_.rbegin(); it != classes_.rend(); ++it)
    if ((*it)->IsNativeDefault(lookAndFeel)) return (*it)->GetStyleID();
  return classes_.front()->GetStyleID();
}

TcxPCCustomPainter* TcxPCPaintersFactory::GetPainterInstance(TcxPCPainterClass cls,
                                                             TcxCustomTabControl* control) const {
  if (!cls) RaiseFactoryError("GetPainterInstance", cxpc_consts::scxPCPainterClassError);
  return cls->Create(control);
}
