// The text of the photo index file, free of Windows headers so it is tested natively.
#pragma once

#include <string>
#include <vector>

#include "library/VNTSkeoEvent.h"

namespace eventxml {

// UTF-8: the declaration, EventList, one Event per record with its five children in order, no
// attributes, no indentation. Characters XML cannot carry become U+FFFD, so the file always parses.
std::string formatEventList(const std::vector<VNTSkeoEvent>& records);

}  // namespace eventxml
