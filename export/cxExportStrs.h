// Texts of the export library: the providers' display names and the failure messages. They
// are fetched at the moment of use through the engine's resource-text function
// (cxGetResString in cxExport), so that a replacement applies.
#pragma once

#include "foundation/cxClasses.h"

extern const TcxResourceStringRec scxUnsupportedExport;
extern const TcxResourceStringRec scxStyleManagerKill;
extern const TcxResourceStringRec scxInvalidColumnRowCount;
extern const TcxResourceStringRec scxIllegalWidth;
extern const TcxResourceStringRec scxIllegalHeight;
extern const TcxResourceStringRec scxInvalidColumnIndex;
extern const TcxResourceStringRec scxInvalidRowIndex;
extern const TcxResourceStringRec scxInvalidStyleIndex;
extern const TcxResourceStringRec scxExportToExcel;
extern const TcxResourceStringRec scxExportToHtml;
extern const TcxResourceStringRec scxExportToXml;
extern const TcxResourceStringRec scxExportToText;
extern const TcxResourceStringRec scxWorkbookWrite;
extern const TcxResourceStringRec scxInvalidCellDimension;
extern const TcxResourceStringRec scxActiveGridLevelDoesNotExist;
extern const TcxResourceStringRec scxGridViewDoesNotExist;
extern const TcxResourceStringRec scxCantCreateExportOutputFile;
