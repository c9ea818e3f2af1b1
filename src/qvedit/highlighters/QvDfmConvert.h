#pragma once
// Conversion of form files between their binary and text forms.
//
// The binary object stream starts with the signature "TPF0"; an object is an optional
// flags byte (0xF0 | flags, followed by the child position when that flag is set), the
// class name and the object name as short strings, the properties (name and typed
// value) ended by an empty name, then the child objects ended by a zero byte. The binary
// resource form puts a resource header naming the form's class before the object
// stream. The text form writes the same tree as
//
//   object Name: TClass
//     Property = value
//     object Child: TChildClass
//     end
//   end
//
// Both readers check every length and count against the bytes that are left and bound
// the nesting, so malformed input raises an exception and never reads out of bounds.

#include <string>

#include "platform/runtime/Exceptions.h"

// Text that does not parse; the message names the line.
QV_DECLARE_EXCEPTION(EParserError, Exception);

enum TStreamOriginalFormat { sofUnknown, sofBinary, sofText };

// The deepest nesting of objects, lists and collections either reader accepts.
inline constexpr int DfmMaxNesting = 128;

// Tells the form of a file's content by its first bytes: a resource header or the
// object-stream signature is binary; "o", "i" (either case), a blank or a line break
// is text; anything else is unknown.
TStreamOriginalFormat TestStreamFormat(const std::string& Input);

// An object stream (from its signature) as text. Raises EReadError on malformed data.
std::string ObjectBinaryToText(const std::string& Input);
// Text as an object stream. Raises EParserError on text that does not parse.
std::string ObjectTextToBinary(const std::string& Input);

// The content of a form file as text: binary content (with or without the resource
// header) is converted, text passes through unchanged. Format receives the form the
// content was in; content of neither form raises EReadError.
std::string ObjectResourceToText(const std::string& Input, TStreamOriginalFormat& Format);
// Text as the binary resource form: a resource header naming the top object's class,
// then the object stream.
std::string ObjectTextToResource(const std::string& Input);
