// The class framework's message texts, used as they stand in exceptions and dialogs.
#pragma once

namespace vcl_consts {
// Form descriptions.
inline constexpr const char* SParseError = "%s on line %d";
inline constexpr const char* SIdentifierExpected = "Identifier expected";
inline constexpr const char* SStringExpected = "String expected";
inline constexpr const char* SNumberExpected = "Number expected";
inline constexpr const char* SCharExpected = "'%s' expected";
inline constexpr const char* SInvalidBinary = "Invalid binary value";
inline constexpr const char* SInvalidString = "Invalid string constant";
inline constexpr const char* SUnexpectedEnd = "Unexpected end of file";
inline constexpr const char* SInvalidPropertyValue = "Invalid property value";
inline constexpr const char* SUnknownProperty = "Property %s does not exist";
inline constexpr const char* SClassNotFound = "Class %s not found";
inline constexpr const char* SReadError = "Error reading %s on line %d: %s";
inline constexpr const char* SResNotFound = "Resource %s not found";
inline constexpr const char* SInvalidImage = "Invalid stream format";
inline constexpr const char* SUnknownExtension = "Unknown picture file extension (.%s)";
inline constexpr const char* SUnknownClipboardFormat = "Unsupported clipboard format";

// Controls and forms.
inline constexpr const char* SParentRequired = "Control '%s' has no parent window";
inline constexpr const char* SControlParentSetToSelf = "A control cannot have itself as its parent";
inline constexpr const char* SCannotFocus = "Cannot focus a disabled or invisible window";
inline constexpr const char* SVisibleChanged = "Cannot change Visible in OnShow or OnHide";
inline constexpr const char* SCannotShowModal = "Cannot make a visible window modal";
inline constexpr const char* SInvalidImageList = "Invalid ImageList";
inline constexpr const char* SImageIndexError = "Invalid ImageList Index";
inline constexpr const char* SInvalidImageSize = "Invalid image size";
inline constexpr const char* SMenuIndexError = "Menu index out of range";
inline constexpr const char* SMenuReinserted = "Menu inserted twice";
inline constexpr const char* SMenuNotFound = "Sub-menu is not in menu";
inline constexpr const char* SCanvasNoDrawing = "Canvas does not allow drawing";
inline constexpr const char* SInvalidPixelFormat = "Invalid pixel format";
inline constexpr const char* SNoCanvasHandle = "Canvas does not allow drawing";

// Message boxes and dialogs.
inline constexpr const char* SMsgDlgWarning = "Warning";
inline constexpr const char* SMsgDlgError = "Error";
inline constexpr const char* SMsgDlgInformation = "Information";
inline constexpr const char* SMsgDlgConfirm = "Confirm";
inline constexpr const char* SMsgDlgYes = "&Yes";
inline constexpr const char* SMsgDlgNo = "&No";
inline constexpr const char* SMsgDlgOK = "OK";
inline constexpr const char* SMsgDlgCancel = "Cancel";
inline constexpr const char* SMsgDlgAbort = "&Abort";
inline constexpr const char* SMsgDlgRetry = "&Retry";
inline constexpr const char* SMsgDlgIgnore = "&Ignore";
inline constexpr const char* SMsgDlgAll = "&All";
inline constexpr const char* SMsgDlgNoToAll = "N&o to All";
inline constexpr const char* SMsgDlgYesToAll = "Yes to &All";
inline constexpr const char* SMsgDlgHelp = "&Help";
inline constexpr const char* SOpenDialogTitle = "Open";
inline constexpr const char* SSaveDialogTitle = "Save As";
inline constexpr const char* SLookIn = "Look &in:";
inline constexpr const char* SFileName = "File &name:";
inline constexpr const char* SFilesOfType = "Files of &type:";
inline constexpr const char* SOpenButton = "&Open";
inline constexpr const char* SSaveButton = "&Save";
inline constexpr const char* SUpFolder = "Up";
inline constexpr const char* SOverwritePrompt = "%s already exists.\nDo you want to replace it?";
inline constexpr const char* SFileNotFound = "%s\nFile not found.\nCheck the file name and try again.";
}  // namespace vcl_consts
