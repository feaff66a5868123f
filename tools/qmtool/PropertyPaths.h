#pragma once
// Label object properties by stream path ("Left", "Font.Name",
// "Lines.Strings", "Picture.Data") as JSON values: what qmtool dump lists
// and qmtool build assigns.
//
// Forms: integers and colours as numbers (colours as unsigned 0x00BBGGRR or
// system colour values), floats as numbers, strings as strings, characters
// as one-character strings, Booleans as true/false, other enumerations as
// their identifiers, sets as arrays of identifiers, string lists as arrays
// of strings, pictures and bitmaps as {"class", "width", "height"} or null,
// component references and events as names or null, collections as arrays
// of property objects.

#include "Json.h"

class TPersistent;

namespace propertypaths {

// Every published property of the object, defaults included, in stream
// order; a sub-object's properties under its name and a dot, then its
// defined properties.
JsonValue Values(const TPersistent &object);

// Assigns one value to the property the path names, through the stream
// reader: the same path stepping, setters and checks as reading a label
// file. A value of the wrong form fails like a wrong stream value. Throws
// EStreamError ("Property does not exist", "Invalid property value", ...).
// A picture or bitmap given as {"class": "TBitmap", "width", "height"}
// becomes a white bitmap of that size. A read-only property given the value
// it has is left alone. Events take null only: label objects carry none.
void Assign(TPersistent &object, const QString &path, const JsonValue &value);

}  // namespace propertypaths
