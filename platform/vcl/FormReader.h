// Reading form descriptions into components and writing components back as form text.
//
// Reading order (the platform's): the root enters the loading state; each object of the
// text is created by class name with the root as owner, named, stored in the root's field of
// that name, given its parent (SetParentComponent), put into the loading state, then its
// properties are set in text order and its children read; component references are resolved
// once everything is read; finally Loaded runs for the root and then every component in the
// order they were read. Any failure raises EReadError naming the line and the property.
#pragma once

#include "rtl/Classes.h"
#include "vcl/FormText.h"

// Reads `text` into an existing root component (a form or data module).
void ReadComponentFromText(TComponent* root, const String& text);
// Creates the root by its class name (registered with RegisterClass) and reads it.
TComponent* ReadComponentText(const String& text, TComponent* owner);
// The form text of a component and everything it owns (published properties that differ
// from their defaults, defined properties, collections, children).
String WriteComponentToText(TComponent* root);
TFormObject WriteComponentToTree(TComponent* root);
