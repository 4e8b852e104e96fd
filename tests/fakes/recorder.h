#pragma once

#include <sstream>
#include <string>

#include "fake.h"

namespace fake {

// "Name(arg1,arg2,...)": how the log spells a call, for the fakes that
// record and for the tests that expect.
template <typename... Args>
std::string call(const std::string& name, const Args&... args) {
  std::ostringstream out;
  out << name << '(';
  const char* separator = "";
  ((out << separator << args, separator = ","), ...);
  static_cast<void>(separator);  // unused for a call without arguments
  out << ')';
  return out.str();
}

template <typename... Args>
void record(const std::string& name, const Args&... args) {
  calls().push_back(call(name, args...));
}

}  // namespace fake
