// Romaji: kana read as the Latin letters a Japanese user types for them, so that "type to
// find" in direct input finds メモ帳 from "memo".
//
// Both sides are brought to one spelling. A text's kana are spelled once, in a fixed form,
// when a page's texts are folded: シ si, チ ti, ツ tu, フ hu, ジ zi, シャ sya, ヲ o, ン n',
// small kana with l (ァ la), ッ as the next kana's first consonant doubled (ltu where there
// is none), ー as the vowel before it ("-" where there is none). A query is read into every
// fixed form it may stand for: shi and si alike; "konnichiha" both as こんいちは, the way
// an input method reads it, and as こんにちは; a syllable still being typed as every kana
// it may begin ("sh" as si and sy). A form matches where it stands in a text's form at the
// start of a kana's spelling or of any other character, never inside a spelling: "emo"
// does not find メモ.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vl {

struct RomajiText {
  std::wstring text;         // every character that is not kana stands as it is
  std::vector<bool> starts;  // starts[k]: text[k] begins a kana's spelling or is another character
};

// `folded` is a text as FoldForSearch gives it: katakana or hiragana, full or half width,
// half-width voiced marks apart.
RomajiText ToRomaji(std::wstring_view folded);

// Kana (either kind, either width) or ー: what ToRomaji reads.
bool HasKana(std::wstring_view text);

// Latin letters a to z, either case.
bool HasLatinLetter(std::wstring_view text);

constexpr std::size_t kMaxRomajiForms = 8;

// The fixed forms a folded query may stand for, the input method's reading first; none for
// an empty query. Letters that spell no kana stand as they are.
std::vector<std::wstring> RomajiForms(std::wstring_view foldedQuery);

}  // namespace vl
