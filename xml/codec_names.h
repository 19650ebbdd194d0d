#pragma once
// Encoding names to codec classes and back. A name is looked up among the codecs' own
// names first, then through the IANA registry's MIB number.

#include "xml/unicode_codec.h"

namespace velmora {

// The codec class for an encoding name, or nullptr when none decodes it.
TUnicodeCodecClass FindCodecClass(std::string_view name);

// The codec class for an IANA MIB number, or nullptr.
TUnicodeCodecClass CodecClassOfMib(int32_t mib);

// The codec's own name ("UTF-8", "ISO-8859-1", ...), or empty for a codec without one.
NarrowString CodecName(TUnicodeCodecClass codecClass);

} // namespace velmora
