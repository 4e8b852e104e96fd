#pragma once

#include <string>

namespace win {

// The object the first running copy holds, named for the user it runs as: a
// name anyone could take first would let any process of the session keep
// Tovix from starting.
inline std::string runningMarkName(const std::string& userSid) { return "Tovix.Running." + userSid; }

}  // namespace win
