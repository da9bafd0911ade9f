// The C++ library's reports of misuse (an index past a string's end, a length past its
// maximum), defined here so that the program does not take the library's own. Those throw
// std::logic_error and its kin, whose message strings are kept in the library's old
// reference-counted string; linking them brings in that whole string class, the library's
// random_device (which the same object file holds) and with it the whole std::string,
// some 55 KB the program never otherwise uses.
//
// What the program sees stays the same: every one of these is caught as an unexpected
// error ("予期しないエラーが発生しました"), none as std::bad_alloc or as the program's own
// errors, and what() still names the call that failed (the format, unfilled, for the index
// reports). Running out of memory is still std::bad_alloc and std::bad_array_new_length
// from the library, which the program reports as memory shortage.
//
// Only the executable links this file, as an object of its own, so that it comes before
// the library in every case; the test that checks it links it the same way. Should the
// program come to need another of the library's reports (std::system_error, which
// std::mutex throws), the link fails on a second definition of these rather than growing
// back unnoticed.
#include <bits/functexcept.h>

#include <exception>
#include <new>

namespace {

class ELibraryMisuse final : public std::exception {
 public:
  explicit ELibraryMisuse(const char* what) noexcept : what_(what) {}
  const char* what() const noexcept override { return what_; }

 private:
  const char* what_;
};

}  // namespace

namespace std {

// The object that holds the library's own reports holds these too: taking it for these
// alone would bring the rest back.
[[noreturn]] void __throw_bad_alloc() { throw bad_alloc(); }
[[noreturn]] void __throw_bad_array_new_length() { throw bad_array_new_length(); }

[[noreturn]] void __throw_logic_error(const char* what) { throw ELibraryMisuse(what); }
[[noreturn]] void __throw_length_error(const char* what) { throw ELibraryMisuse(what); }
[[noreturn]] void __throw_out_of_range(const char* what) { throw ELibraryMisuse(what); }
[[noreturn]] void __throw_out_of_range_fmt(const char* format, ...) {
  throw ELibraryMisuse(format);
}
[[noreturn]] void __throw_invalid_argument(const char* what) { throw ELibraryMisuse(what); }

}  // namespace std
