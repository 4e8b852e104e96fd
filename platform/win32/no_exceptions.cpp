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

// The library's headers call these where they would throw. All of them are
// here: the library's own object that defines the rest would clash with any.
namespace std {
void __throw_bad_exception() { std::abort(); }
void __throw_bad_alloc() { std::abort(); }
void __throw_bad_array_new_length() { std::abort(); }
void __throw_bad_cast() { std::abort(); }
void __throw_bad_typeid() { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_domain_error(const char*) { std::abort(); }
void __throw_invalid_argument(const char*) { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_out_of_range(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
void __throw_runtime_error(const char*) { std::abort(); }
void __throw_range_error(const char*) { std::abort(); }
void __throw_overflow_error(const char*) { std::abort(); }
void __throw_underflow_error(const char*) { std::abort(); }
void __throw_ios_failure(const char*) { std::abort(); }
void __throw_ios_failure(const char*, int) { std::abort(); }
void __throw_system_error(int) { std::abort(); }
void __throw_future_error(int) { std::abort(); }
void __throw_bad_function_call() { std::abort(); }
}  // namespace std
