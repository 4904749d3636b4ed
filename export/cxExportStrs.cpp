#include "export/cxExportStrs.h"

#define CX_RES(Name, Text) const TcxResourceStringRec Name{#Name, Text}

CX_RES(scxUnsupportedExport, "Unsupported export type: %1");
CX_RES(scxStyleManagerKill,
       "The Style Manager is currently being used elsewhere and can not be released at this stage");
CX_RES(scxInvalidColumnRowCount, "Invalid column or row count");
CX_RES(scxIllegalWidth, "Illegal width of the column");
CX_RES(scxIllegalHeight, "Illegal height of the row");
CX_RES(scxInvalidColumnIndex, "The column index %d out of bounds");
CX_RES(scxInvalidRowIndex, "The row index %d out of bounds");
CX_RES(scxInvalidStyleIndex, "Invalid style index %d");
CX_RES(scxExportToExcel, "Export to MS Excel (*.xls)");
CX_RES(scxExportToHtml, "Export to Web page (*.html)");
CX_RES(scxExportToXml, "Export to XML document (*.xml)");
CX_RES(scxExportToText, "Export to text format (*.txt)");
CX_RES(scxWorkbookWrite, "Error write XLS file");
CX_RES(scxInvalidCellDimension, "Invalid cell dimension");
CX_RES(scxActiveGridLevelDoesNotExist, "Active grid level does not exist");
CX_RES(scxGridViewDoesNotExist, "Grid view does not exist");
CX_RES(scxCantCreateExportOutputFile, "Can't create the export output file");
