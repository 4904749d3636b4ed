// Text forms of stored values: streams as "Hex:" text, and the Boolean texts TRUE and FALSE.
#pragma once

#include "rtl/Classes.h"

KORVAN_EXCEPTION(EcxHexStringConvertError, EConvertError);

// Two upper-case hexadecimal digits per byte.
String EncodeBytesAsHex(const void* bytes, size_t count);
// Decodes digit pairs (0-9, A-F, a-f); another character raises EcxHexStringConvertError; a
// last unpaired character is ignored.
std::string DecodeHexBytes(const String& text);
// "Hex:" and the whole stream from position 0; empty for a null or empty stream.
String EncodeStreamAsHexText(TStream* stream);
// Writes the bytes of a "Hex:" text at the stream's position; nothing for a null stream or a
// text of 5 characters or fewer. The 4-character prefix is not checked.
void DecodeHexTextToStream(const String& text, TStream* stream);
// True for "TRUE", False for "FALSE" in any case; another text raises EPropertyConvertError.
bool ParseBooleanText(const String& text);

// Number texts of the numeric editors: the locale's thousand separators removed, the rest read
// in extended precision (optional sign, digits with the locale's decimal separator, optional
// exponent; blanks around). True when it reads and the number is 0 or its magnitude lies
// between 5.0E-324 and 1.7E308 inclusive (a double can hold it); the result as a double.
bool TryNumberTextToDouble(const String& text, double& value);

class TcxCustomTextEdit;
// The text a typed character would leave: the edit's text with its selection replaced by it.
String TextWithTypedChar(TcxCustomTextEdit* edit, char32_t c);
