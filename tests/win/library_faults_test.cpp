// The library's misuse reports as the program defines them (app/library_faults.cpp, linked
// into this test as into the program): each still an exception the handlers see, and one
// the program reports as an unexpected error, never as memory shortage; memory shortage
// still std::bad_alloc, which it reports apart. No test framework: it would take the
// library's own reports (for std::system_error) and clash with these.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

int failures = 0;

// How the program's error box would name what `work` raised.
template <class F>
void ExpectKind(const char* what, const char* expected, F work) {
  const char* kind = "none";
  try {
    work();
  } catch (const std::bad_alloc&) {
    kind = "memory";
  } catch (const std::exception& e) {
    kind = *e.what() ? "unexpected" : "unexpected, unnamed";
  } catch (...) {
    kind = "unknown";
  }
  if (std::strcmp(kind, expected) != 0) {
    std::fprintf(stderr, "%s: %s, expected %s\n", what, kind, expected);
    ++failures;
  }
}

}  // namespace

int main() {
  std::wstring text = L"abc";
  std::vector<int> numbers{1};
  ExpectKind("wstring::at", "unexpected", [&] { (void)text.at(3); });
  ExpectKind("wstring::substr", "unexpected", [&] { (void)text.substr(4); });
  ExpectKind("vector::at", "unexpected", [&] { (void)numbers.at(1); });
  ExpectKind("wstring::reserve", "unexpected", [&] { text.reserve(text.max_size() + 1); });
  ExpectKind("vector::reserve", "unexpected", [&] { numbers.reserve(numbers.max_size() + 1); });

  // More than the allocator can count, in elements or in bytes.
  volatile std::size_t overCount = SIZE_MAX / 2;
  volatile std::size_t overSize = SIZE_MAX / sizeof(int) - 1;
  ExpectKind("allocate, too many", "memory", [&] { (void)std::allocator<int>().allocate(overCount); });
  ExpectKind("allocate, too large", "memory", [&] { (void)std::allocator<int>().allocate(overSize); });
  std::fprintf(stderr, "%d failure(s)\n", failures);
  return failures == 0 ? 0 : 1;
}
