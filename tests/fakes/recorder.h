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

// Whether the calling thread is the one the tests run on.
bool onTestThread();

template <typename... Args>
void record(const std::string& name, const Args&... args) {
  if (logging()) calls().push_back((onTestThread() ? "" : "worker: ") + call(name, args...));
}

// "Object.Member(args)", built only when calls are logged.
template <typename... Args>
void recordMember(const std::string& object, const char* member, const Args&... args) {
  if (logging()) record(object + "." + member, args...);
}

}  // namespace fake
