#include "editors-extra/cxFilterControlStrs.h"

#define CX_RES(Name, Text) const TcxResourceStringRec Name{#Name, Text}

CX_RES(cxSFilterBoolOperatorAnd, "AND");
CX_RES(cxSFilterBoolOperatorOr, "OR");
CX_RES(cxSFilterBoolOperatorNotAnd, "NOT AND");
CX_RES(cxSFilterBoolOperatorNotOr, "NOT OR");
CX_RES(cxSFilterRootButtonCaption, "Filter");
CX_RES(cxSFilterAddCondition, "Add &Condition");
CX_RES(cxSFilterAddGroup, "Add &Group");
CX_RES(cxSFilterRemoveRow, "&Remove Row");
CX_RES(cxSFilterClearAll, "Clear &All");
CX_RES(cxSFilterFooterAddCondition, "press the button to add a new condition");
CX_RES(cxSFilterGroupCaption, "applies to the following conditions");
CX_RES(cxSFilterRootGroupCaption, "<root>");
CX_RES(cxSFilterControlNullString, "<empty>");
CX_RES(cxSFilterErrorBuilding, "Can't build filter from source");
CX_RES(cxSFilterDialogCaption, "Custom Filter");
CX_RES(cxSFilterDialogRows, "Show rows where:");
CX_RES(cxSFilterDialogInvalidValue, "Invalid value");
CX_RES(cxSFilterDialogUse, "Use");
CX_RES(cxSFilterDialogSingleCharacter, "to represent any single character");
CX_RES(cxSFilterDialogCharactersSeries, "to represent any series of characters");
CX_RES(cxSFilterDialogOperationAnd, "AND");
CX_RES(cxSFilterDialogOperationOr, "OR");
CX_RES(cxSFilterControlDialogCaption, "Filter builder");
CX_RES(cxSFilterControlDialogNewFile, "untitled.flt");
CX_RES(cxSFilterControlDialogOpenDialogCaption, "Open an existing filter");
CX_RES(cxSFilterControlDialogSaveDialogCaption, "Save the active filter to file");
CX_RES(cxSFilterControlDialogActionSaveCaption, "&Save As...");
CX_RES(cxSFilterControlDialogActionOpenCaption, "&Open...");
CX_RES(cxSFilterControlDialogActionApplyCaption, "&Apply");
CX_RES(cxSFilterControlDialogActionOkCaption, "OK");
CX_RES(cxSFilterControlDialogActionCancelCaption, "Cancel");
CX_RES(cxSFilterControlDialogFileExt, "flt");
CX_RES(cxSFilterControlDialogFileFilter, "Filters (*.flt)|*.flt");
