// The text of the photo index file, free of Windows headers so it is tested natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "library/VNTSkeoEvent.h"

namespace eventxml {

// UTF-8: the declaration, EventList, one Event per record with its five children in order, no
// attributes, no indentation. Characters XML cannot carry become U+FFFD, so the file always parses.
std::string formatEventList(const std::vector<VNTSkeoEvent>& records);
// One record's Event element, as formatEventList writes it.
std::string formatEventRecord(const VNTSkeoEvent& record);
// The file of records whose Event elements are made already, in list order.
std::string joinEventList(const std::vector<std::string>& recordTexts);

}  // namespace eventxml

namespace eventxml {

enum class FastParse { Parsed, NotHandled };

// A quick reader for index files in UTF-8 (as the program writes them, or edited by hand): elements,
// attributes, text, the predefined and numeric character references, CDATA, comments and processing
// instructions. Anything else (another encoding, a DTD, an unknown entity, a document that is not
// well-formed) is NotHandled and left to the platform's XML parser to judge. Records are the element
// children of the first EventList element; a field takes the whole text inside its element.
FastParse parseEventListFast(const uint8_t* data, size_t size, std::vector<VNTSkeoEvent>& records);

// "abc" -> 0, "7x" -> 7, " -12" -> -12: base-10 conversion that stops at the first non-digit,
// clamped to the 32-bit range.
int32_t parseEventTypeText(const std::wstring& text);

}  // namespace eventxml
