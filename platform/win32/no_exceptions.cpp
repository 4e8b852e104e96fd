// tovix.exe is built without exceptions. The failures of the standard
// library it could meet (a string or vector grown past its maximum, a
// position out of range, an empty std::function called) would throw into
// code that catches nothing, and so end the program through std::terminate.
// These end it at once instead, as the library does when it is built
// without exceptions itself, and keep the runtime's exception machinery,
// which the library's own versions would bring along, out of the
// executable. Memory exhausted ends it the same way (operator_new.cpp).
#include <bits/functexcept.h>  // declares the std::__throw_* functions below
#include <cstdlib>

// The library's headers call these where they would throw: those the
// program's code calls. Should it come to call another, the library's own
// object defining them all would clash with these, and the link fails.
namespace std {
void __throw_bad_alloc() { std::abort(); }
void __throw_bad_function_call() { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
}  // namespace std
