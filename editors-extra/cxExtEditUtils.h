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
