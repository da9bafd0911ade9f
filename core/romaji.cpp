#include "core/romaji.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vl {
namespace {

constexpr wchar_t kFirstKana = 0x30A1;  // ァ
constexpr wchar_t kLastKana = 0x30F6;   // ヶ
constexpr wchar_t kSmallTsu = 0x30C3;   // ッ
constexpr wchar_t kN = 0x30F3;          // ン
constexpr wchar_t kLongMark = 0x30FC;   // ー

// The fixed spelling of every katakana from ァ to ヶ; ッ's is the one it has where no
// consonant follows it.
constexpr std::array<std::wstring_view, kLastKana - kFirstKana + 1> kSpellings = {
    L"la", L"a",  L"li", L"i",  L"lu", L"u",  L"le", L"e",  L"lo", L"o",                          // ァ-オ
    L"ka", L"ga", L"ki", L"gi", L"ku", L"gu", L"ke", L"ge", L"ko", L"go",                         // カ-ゴ
    L"sa", L"za", L"si", L"zi", L"su", L"zu", L"se", L"ze", L"so", L"zo",                         // サ-ゾ
    L"ta", L"da", L"ti", L"di", L"ltu", L"tu", L"du", L"te", L"de", L"to", L"do",                 // タ-ド
    L"na", L"ni", L"nu", L"ne", L"no",                                                            // ナ-ノ
    L"ha", L"ba", L"pa", L"hi", L"bi", L"pi", L"hu", L"bu", L"pu", L"he", L"be", L"pe", L"ho",    // ハ-ホ
    L"bo", L"po",                                                                                 // ボ ポ
    L"ma", L"mi", L"mu", L"me", L"mo",                                                            // マ-モ
    L"lya", L"ya", L"lyu", L"yu", L"lyo", L"yo",                                                  // ャ-ヨ
    L"ra", L"ri", L"ru", L"re", L"ro",                                                            // ラ-ロ
    L"lwa", L"wa", L"wi", L"we", L"o", L"n'", L"vu", L"lka", L"lke"};                             // ヮ-ヶ

// Half-width katakana from ｦ (U+FF66) to ﾝ (U+FF9D), in full width.
constexpr std::wstring_view kHalfWidth =
    L"ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン";
constexpr std::wstring_view kVoiceable = L"カキクケコサシスセソタチツテトハヒフヘホ";
constexpr std::wstring_view kSemiVoiceable = L"ハヒフヘホ";

// Two kana read as one syllable, where the input methods read them so.
struct Pair {
  wchar_t base, small;
  std::wstring_view spelling;
};
constexpr Pair kPairs[] = {
    {L'テ', L'ィ', L"thi"}, {L'テ', L'ュ', L"thu"}, {L'デ', L'ィ', L"dhi"}, {L'デ', L'ュ', L"dhu"},
    {L'ト', L'ゥ', L"twu"}, {L'ド', L'ゥ', L"dwu"}, {L'フ', L'ァ', L"fa"},  {L'フ', L'ィ', L"fi"},
    {L'フ', L'ェ', L"fe"},  {L'フ', L'ォ', L"fo"},  {L'フ', L'ュ', L"fyu"}, {L'ヴ', L'ァ', L"va"},
    {L'ヴ', L'ィ', L"vi"},  {L'ヴ', L'ェ', L"ve"},  {L'ヴ', L'ォ', L"vo"},  {L'ヴ', L'ュ', L"vyu"},
    {L'ウ', L'ィ', L"wi"},  {L'ウ', L'ェ', L"we"},  {L'ウ', L'ォ', L"who"}, {L'ツ', L'ァ', L"tsa"},
    {L'ツ', L'ィ', L"tsi"}, {L'ツ', L'ェ', L"tse"}, {L'ツ', L'ォ', L"tso"}, {L'イ', L'ェ', L"ye"}};

// Other spellings the input methods take, with the fixed one each stands for. x is read
// as l before this table is looked at.
constexpr std::pair<std::wstring_view, std::wstring_view> kAliases[] = {
    {L"shi", L"si"},  {L"sha", L"sya"}, {L"shu", L"syu"}, {L"she", L"sye"}, {L"sho", L"syo"},
    {L"chi", L"ti"},  {L"cha", L"tya"}, {L"chu", L"tyu"}, {L"che", L"tye"}, {L"cho", L"tyo"},
    {L"cya", L"tya"}, {L"cyu", L"tyu"}, {L"cye", L"tye"}, {L"cyo", L"tyo"}, {L"tsu", L"tu"},
    {L"fu", L"hu"},   {L"ji", L"zi"},   {L"ja", L"zya"},  {L"ju", L"zyu"},  {L"je", L"zye"},
    {L"jo", L"zyo"},  {L"jya", L"zya"}, {L"jyu", L"zyu"}, {L"jye", L"zye"}, {L"jyo", L"zyo"},
    {L"ca", L"ka"},   {L"ci", L"si"},   {L"cu", L"ku"},   {L"ce", L"se"},   {L"co", L"ko"},
    {L"wo", L"o"},    {L"ltsu", L"ltu"}};

bool IsVowel(wchar_t c) { return c == L'a' || c == L'i' || c == L'u' || c == L'e' || c == L'o'; }
bool IsKana(wchar_t c) { return c >= kFirstKana && c <= kLastKana; }
// The small kana that end a two-kana syllable.
bool IsSmall(wchar_t c) { return std::wstring_view(L"ァィゥェォャュョ").find(c) != std::wstring_view::npos; }

std::wstring_view SpellingOf(wchar_t kana) { return kSpellings[static_cast<std::size_t>(kana - kFirstKana)]; }

// A spelling made from the tables: at most four letters.
class Spelling {
 public:
  Spelling() = default;
  explicit Spelling(std::wstring_view text) : size_(std::min(text.size(), std::size(text_))) {
    std::copy_n(text.begin(), size_, text_);
  }
  std::wstring_view View() const { return {text_, size_}; }

 private:
  wchar_t text_[4] = {};
  std::size_t size_ = 0;
};

// A kana of the i row before a small ya, yu, yo or e: its consonant, y and the vowel
// (キャ kya, シャ sya, チェ tye); empty for any other two.
Spelling Glide(wchar_t base, wchar_t small) {
  constexpr std::wstring_view kSmall = L"ャュョェ", kVowel = L"auoe";
  const std::size_t k = kSmall.find(small);
  if (k == std::wstring_view::npos || base < kFirstKana || base > kLastKana) return {};
  const std::wstring_view s = SpellingOf(base);
  if (s.size() != 2 || s[1] != L'i' || IsVowel(s[0]) || s[0] == L'l' || s[0] == L'w') return {};
  const wchar_t glide[] = {s[0], L'y', kVowel[k]};
  return Spelling(std::wstring_view(glide, 3));
}

Spelling PairSpelling(wchar_t base, wchar_t small) {
  for (const Pair& p : kPairs)
    if (p.base == base && p.small == small) return Spelling(p.spelling);
  return Glide(base, small);
}

// Every spelling a query may use, with the fixed one it stands for: each kana's own (but
// ッ's and ン's, which are read apart), the two-kana syllables, and the other spellings.
template <typename Visit>
void ForEachSpelling(Visit visit) {
  for (wchar_t kana = kFirstKana; kana <= kLastKana; ++kana) {
    if (kana != kSmallTsu && kana != kN) visit(SpellingOf(kana), SpellingOf(kana));
    for (wchar_t small : std::wstring_view(L"ャュョェ"))
      if (const Spelling glide = Glide(kana, small); !glide.View().empty()) visit(glide.View(), glide.View());
  }
  for (const Pair& p : kPairs) visit(p.spelling, p.spelling);
  for (auto [typed, fixed] : kAliases) visit(typed, fixed);
}

// Full-width katakana for every kana of the folded text, a voiced mark joined to its kana
// (ｶﾞ: ガ); every other character as it is.
std::wstring Katakana(std::wstring_view folded) {
  std::wstring out;
  out.reserve(folded.size());
  for (wchar_t c : folded) {
    if (c >= 0x3041 && c <= 0x3096) {
      c = static_cast<wchar_t>(c + 0x60);
    } else if (c >= 0xFF66 && c <= 0xFF9D) {
      c = kHalfWidth[static_cast<std::size_t>(c - 0xFF66)];  // ｰ too
    } else if ((c == 0xFF9E || c == 0x3099 || c == 0x309B) && !out.empty()) {
      if (kVoiceable.find(out.back()) != std::wstring_view::npos) {
        ++out.back();
        continue;
      }
      if (out.back() == L'ウ') {
        out.back() = L'ヴ';
        continue;
      }
    } else if ((c == 0xFF9F || c == 0x309A || c == 0x309C) && !out.empty() &&
               kSemiVoiceable.find(out.back()) != std::wstring_view::npos) {
      out.back() = static_cast<wchar_t>(out.back() + 2);
      continue;
    }
    out += c;
  }
  return out;
}

// The first letter of a spelling, when it is a consonant that ッ can double.
wchar_t DoubledConsonant(std::wstring_view spelling) {
  if (spelling.empty()) return 0;
  const wchar_t c = spelling[0];
  return c >= L'a' && c <= L'z' && !IsVowel(c) && c != L'n' && c != L'l' ? c : 0;
}

std::wstring_view LetterView(wchar_t c) {
  static constexpr std::wstring_view kLetters = L"abcdefghijklmnopqrstuvwxyz";
  return kLetters.substr(static_cast<std::size_t>(c - L'a'), 1);
}

// Reads a query from `at` on, adding every fixed form it may stand for to `forms`.
class QueryReader {
 public:
  QueryReader(std::wstring_view query, std::vector<std::wstring>& forms) : query_(query), forms_(forms) {}

  void Read(std::size_t at, std::wstring form, bool doubled) {
    if (forms_.size() >= kMaxRomajiForms) return;
    if (at == query_.size()) {
      if (std::find(forms_.begin(), forms_.end(), form) == forms_.end()) forms_.push_back(std::move(form));
      return;
    }
    const wchar_t c = query_[at];
    if (c >= 0x80) {  // kana and the rest, as a text's are spelled
      std::size_t end = at;
      while (end < query_.size() && query_[end] >= 0x80) ++end;
      Read(end, form + ToRomaji(query_.substr(at, end - at)).text, false);
      return;
    }
    if (c == L'-') {  // ー: the vowel before it, if there is one
      const bool vowel = !form.empty() && IsVowel(form.back());
      Read(at + 1, form + (vowel ? form.back() : L'-'), false);
      return;
    }
    if (c < L'a' || c > L'z') {
      Read(at + 1, form + c, false);
      return;
    }
    if (c == L'n' && ReadN(at, form, doubled)) return;
    const wchar_t next = at + 1 < query_.size() ? query_[at + 1] : 0;
    if (!IsVowel(c) && c != L'n' && c != L'l' && (next == c || (c == L't' && next == L'c'))) {
      Read(at + 1, std::move(form), true);  // ッ, spelled by the kana after it
      return;
    }
    ReadSyllable(at, std::move(form), doubled);
  }

 private:
  void Emit(std::size_t next, const std::wstring& form, std::wstring_view spelling, bool doubled) {
    std::wstring longer = form;
    if (doubled) {
      if (wchar_t c = DoubledConsonant(spelling))
        longer += c;
      else
        longer += L"ltu";
    }
    longer += spelling;
    Read(next, std::move(longer), false);
  }

  // n: ン, or the start of na, ni, nya...; true when read.
  bool ReadN(std::size_t at, const std::wstring& form, bool doubled) {
    const std::size_t size = query_.size();
    if (at + 1 == size) {  // still being typed: ン or any kana of the n row
      Emit(size, form, L"n", doubled);
      return true;
    }
    const wchar_t next = query_[at + 1];
    if (next == L'\'') {
      Emit(at + 2, form, L"n'", doubled);
      return true;
    }
    if (next == L'n') {
      Emit(at + 2, form, L"n'", doubled);
      // "konnichiha": the input method reads nn as ン and then い, but the user meant the
      // second n to begin に.
      if (at + 2 < size && (IsVowel(query_[at + 2]) || query_[at + 2] == L'y')) Emit(at + 1, form, L"n'", doubled);
      return true;
    }
    if (IsVowel(next) || next == L'y') return false;
    Emit(at + 1, form, L"n'", doubled);  // before another consonant
    return true;
  }

  void ReadSyllable(std::size_t at, std::wstring form, bool doubled) {
    const std::wstring_view rest = query_.substr(at);
    // The longest spelling the query goes on with. The views the tables give may not
    // outlive the visit: what is kept is copied.
    std::size_t typed = 0;
    std::wstring fixed;
    ForEachSpelling([&](std::wstring_view t, std::wstring_view f) {
      if (t.size() > typed && rest.starts_with(t)) {
        typed = t.size();
        fixed = f;
      }
    });
    if (typed) {
      Emit(at + typed, form, fixed, doubled);
      return;
    }
    // The query ends inside a syllable: every kana it may begin, as far as it is typed.
    std::vector<std::wstring> begun;
    ForEachSpelling([&](std::wstring_view t, std::wstring_view f) {
      const std::wstring_view part = f.substr(0, rest.size());
      if (t.starts_with(rest) && std::find(begun.begin(), begun.end(), part) == begun.end()) begun.emplace_back(part);
    });
    if (begun.empty()) {  // no kana is spelled so: the letter stands as it is
      Emit(at + 1, form, LetterView(query_[at]), doubled);
      return;
    }
    // "sh" as si and sy, not as s: a shorter part would find every kana of the s row.
    for (const std::wstring& part : begun) {
      const bool longer = std::any_of(begun.begin(), begun.end(), [&part](const std::wstring& other) {
        return other.size() < part.size() && part.starts_with(other);
      });
      if (!longer) Emit(query_.size(), form, part, doubled);
    }
  }

  std::wstring_view query_;
  std::vector<std::wstring>& forms_;
};

}  // namespace

bool HasKana(std::wstring_view text) {
  return std::any_of(text.begin(), text.end(), [](wchar_t c) {
    return (c >= 0x3041 && c <= 0x30FC) || (c >= 0xFF66 && c <= 0xFF9F);  // hiragana, katakana, ー, half width
  });
}

RomajiText ToRomaji(std::wstring_view folded) {
  const std::wstring kana = Katakana(folded);
  RomajiText out;
  out.text.reserve(kana.size() * 2);
  out.starts.reserve(kana.size() * 2);
  std::wstring_view last;  // the spelling of the kana before, if the character before was one
  Spelling pair;  // a two-kana syllable's spelling, which `spelling` and `last` may view
  auto add = [&out](std::wstring_view spelling) {
    out.text += spelling;
    for (std::size_t k = 0; k < spelling.size(); ++k) out.starts.push_back(k == 0);
  };
  for (std::size_t k = 0; k < kana.size(); ++k) {
    const wchar_t c = kana[k];
    std::wstring_view spelling;
    if (c == kSmallTsu) {
      // Doubles the consonant of the kana after it.
      std::wstring_view after;
      if (k + 1 < kana.size() && IsKana(kana[k + 1])) {
        if (k + 2 < kana.size()) pair = PairSpelling(kana[k + 1], kana[k + 2]);  // ッファ: f, not h
        after = k + 2 < kana.size() && !pair.View().empty() ? pair.View() : SpellingOf(kana[k + 1]);
      }
      const wchar_t doubled = DoubledConsonant(after);
      spelling = doubled ? LetterView(doubled) : SpellingOf(c);
    } else if (IsKana(c)) {
      pair = k + 1 < kana.size() && IsSmall(kana[k + 1]) ? PairSpelling(c, kana[k + 1]) : Spelling();
      spelling = pair.View();
      if (spelling.empty())
        spelling = SpellingOf(c);
      else
        ++k;
    } else if (c == kLongMark) {
      spelling = !last.empty() && IsVowel(last.back()) ? LetterView(last.back()) : std::wstring_view(L"-");
    } else {
      out.text += c;
      out.starts.push_back(true);
      last = {};
      continue;
    }
    add(spelling);
    last = spelling;
  }
  return out;
}

bool HasLatinLetter(std::wstring_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); });
}

std::vector<std::wstring> RomajiForms(std::wstring_view foldedQuery) {
  std::wstring query(foldedQuery);
  for (wchar_t& c : query) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    if (c == L'x') c = L'l';  // xa and la alike
  }
  std::vector<std::wstring> forms;
  QueryReader(query, forms).Read(0, {}, false);
  return forms;
}

}  // namespace vl
