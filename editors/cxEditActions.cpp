// The editor control's actions: an action offered to an editor is its own when the action
// takes the editor as its target, else the data binding's to handle.
#include "editors/cxEdit.h"
#include "vcl/ActnList.h"

bool TcxCustomEdit::ExecuteAction(TBasicAction* action) {
  return TcxContainer::ExecuteAction(action) || DataBinding()->ExecuteAction(action);
}

bool TcxCustomEdit::UpdateAction(TBasicAction* action) {
  return TcxContainer::UpdateAction(action) || DataBinding()->UpdateAction(action);
}
