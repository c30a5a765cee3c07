// The C++ run-time's helpers that throw its standard exceptions, as the
// setup program has them. libstdc++ defines them all in one object, and
// its std::logic_error family carries a reference-counted string of its
// own: taking that object in brings a second std::string implementation
// along, about 80 KB of the program with their unwind tables. The program
// never tells these exceptions apart: its handlers take std::bad_alloc as
// out of memory and every other exception that is not a CException as a
// plain CException (AfxTranslateCurrentException). So the errors with a
// message throw CLibraryError, which keeps the run-time's message (a
// literal) without copying it; the others throw what libstdc++ throws.
#include <exception>
#include <new>
#include <typeinfo>

namespace {

class CLibraryError : public std::exception {
public:
  explicit CLibraryError(const char* message) noexcept : message_(message) {}
  const char* what() const noexcept override { return message_; }

private:
  const char* message_;
};

}  // namespace

namespace std {

void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_logic_error(const char* message) { throw CLibraryError(message); }
void __throw_domain_error(const char* message) { throw CLibraryError(message); }
void __throw_invalid_argument(const char* message) { throw CLibraryError(message); }
void __throw_length_error(const char* message) { throw CLibraryError(message); }
void __throw_out_of_range(const char* message) { throw CLibraryError(message); }
// The format's arguments are left unread: the message is never shown.
void __throw_out_of_range_fmt(const char* format, ...) { throw CLibraryError(format); }
void __throw_runtime_error(const char* message) { throw CLibraryError(message); }
void __throw_range_error(const char* message) { throw CLibraryError(message); }
void __throw_overflow_error(const char* message) { throw CLibraryError(message); }
void __throw_underflow_error(const char* message) { throw CLibraryError(message); }

}  // namespace std
