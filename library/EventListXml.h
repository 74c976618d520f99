// Reading the photo index file through the platform's XML DOM (MSXML 6, else 3).
// The document objects are created on the calling thread, which must have initialised COM.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library/VNTSkeoEvent.h"

namespace eventxml {

enum class ReadResult {
    Read,        // the records of the first EventList element (none if it is empty)
    Unreadable,  // not well-formed, a DTD, no EventList element, too big: keep the file aside
};

// Parses the bytes of an index file. Records keep the file's order.
ReadResult parse(const std::vector<uint8_t>& bytes, std::vector<VNTSkeoEvent>& records);

}  // namespace eventxml
