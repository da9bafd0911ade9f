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
bool IsSmallVowelOrY(wchar_t c) { return std::wstring_view(L"ァィゥェォャュョ").find(c) != std::wstring_view::npos; }

std::wstring_view SpellingOf(wchar_t kana) { return kSpellings[static_cast<std::size_t>(kana - kFirstKana)]; }

// What the tables make once: the two-kana syllables and every spelling a query may use.
struct Tables {
  std::vector<std::pair<std::pair<wchar_t, wchar_t>, std::wstring>> pairs;  // sorted
  std::vector<std::pair<std::wstring, std::wstring>> spellings;            // typed, fixed; sorted

  Tables() {
    for (const Pair& p : kPairs) pairs.push_back({{p.base, p.small}, std::wstring(p.spelling)});
    // A kana of the i row before a small ya, yu, yo or e: its consonant, y and the vowel
    // (キャ kya, シャ sya, チェ tye).
    constexpr std::pair<wchar_t, wchar_t> kGlides[] = {{L'ャ', L'a'}, {L'ュ', L'u'}, {L'ョ', L'o'}, {L'ェ', L'e'}};
    for (wchar_t kana = kFirstKana; kana <= kLastKana; ++kana) {
      const std::wstring_view s = SpellingOf(kana);
      if (s.size() != 2 || s[1] != L'i' || IsVowel(s[0]) || s[0] == L'l' || s[0] == L'w') continue;
      for (auto [small, vowel] : kGlides) pairs.push_back({{kana, small}, std::wstring{s[0], L'y', vowel}});
    }
    std::sort(pairs.begin(), pairs.end());
    for (wchar_t kana = kFirstKana; kana <= kLastKana; ++kana)
      if (kana != kSmallTsu && kana != kN) spellings.emplace_back(SpellingOf(kana), SpellingOf(kana));
    for (const auto& [key, spelling] : pairs) spellings.emplace_back(spelling, spelling);
    for (auto [typed, fixed] : kAliases) spellings.emplace_back(typed, fixed);
    std::sort(spellings.begin(), spellings.end());
    spellings.erase(std::unique(spellings.begin(), spellings.end()), spellings.end());
  }
};

const Tables& TheTables() {
  static const Tables tables;
  return tables;
}

std::wstring_view PairSpelling(wchar_t base, wchar_t small) {
  const auto& pairs = TheTables().pairs;
  const auto it = std::lower_bound(pairs.begin(), pairs.end(), std::make_pair(base, small),
                                   [](const auto& entry, const auto& key) { return entry.first < key; });
  return it != pairs.end() && it->first == std::make_pair(base, small) ? std::wstring_view(it->second)
                                                                       : std::wstring_view();
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
      c = kHalfWidth[static_cast<std::size_t>(c - 0xFF66)];
    } else if (c == 0xFF70) {
      c = kLongMark;
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
    const auto& spellings = TheTables().spellings;
    const std::wstring_view rest = query_.substr(at);
    for (std::size_t length = std::min<std::size_t>(4, rest.size()); length > 0; --length) {
      const std::wstring key(rest.substr(0, length));
      const auto it = std::lower_bound(spellings.begin(), spellings.end(), std::make_pair(key, std::wstring()));
      if (it != spellings.end() && it->first == key) {
        Emit(at + length, form, it->second, doubled);
        return;
      }
    }
    // The query ends inside a syllable: every kana it may begin, as far as it is typed.
    std::vector<std::wstring> begun;
    const std::wstring key(rest);
    for (auto it = std::lower_bound(spellings.begin(), spellings.end(), std::make_pair(key, std::wstring()));
         it != spellings.end() && it->first.starts_with(key); ++it) {
      std::wstring part = it->second.substr(0, std::min(key.size(), it->second.size()));
      if (std::find(begun.begin(), begun.end(), part) == begun.end()) begun.push_back(std::move(part));
    }
    if (begun.empty()) {  // no kana is spelled so: the letter stands as it is
      Emit(at + 1, form, LetterView(query_[at]), doubled);
      return;
    }
    // "sh" as si and sy, not as s: a shorter part would find every kana of the s row.
    std::erase_if(begun, [&](const std::wstring& part) {
      return std::any_of(begun.begin(), begun.end(),
                         [&](const std::wstring& other) { return other != part && part.starts_with(other); });
    });
    for (const std::wstring& part : begun) Emit(query_.size(), form, part, doubled);
  }

  std::wstring_view query_;
  std::vector<std::wstring>& forms_;
};

}  // namespace

RomajiText ToRomaji(std::wstring_view folded) {
  const std::wstring kana = Katakana(folded);
  RomajiText out;
  out.text.reserve(kana.size() * 2);
  out.starts.reserve(kana.size() * 2);
  std::wstring_view last;  // the spelling of the kana before, if the character before was one
  auto add = [&out](std::wstring_view spelling) {
    out.text += spelling;
    out.starts.push_back(true);
    out.starts.insert(out.starts.end(), spelling.size() - 1, false);
  };
  for (std::size_t k = 0; k < kana.size(); ++k) {
    const wchar_t c = kana[k];
    std::wstring_view spelling;
    if (c == kSmallTsu) {
      // Doubles the consonant of the kana after it.
      std::wstring_view after;
      if (k + 1 < kana.size() && IsKana(kana[k + 1])) {
        after = k + 2 < kana.size() ? PairSpelling(kana[k + 1], kana[k + 2]) : std::wstring_view();
        if (after.empty()) after = SpellingOf(kana[k + 1]);
      }
      const wchar_t doubled = DoubledConsonant(after);
      spelling = doubled ? LetterView(doubled) : SpellingOf(c);
    } else if (IsKana(c)) {
      if (k + 1 < kana.size() && IsSmallVowelOrY(kana[k + 1])) spelling = PairSpelling(c, kana[k + 1]);
      if (spelling.empty())
        spelling = SpellingOf(c);
      else
        ++k;
    } else if (c == kLongMark) {
      spelling = !last.empty() && IsVowel(last.back()) ? std::wstring_view(L"aiueo").substr(
                                                             std::wstring_view(L"aiueo").find(last.back()), 1)
                                                       : std::wstring_view(L"-");
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
