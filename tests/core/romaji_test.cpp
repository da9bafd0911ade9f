// Type to find in Latin letters over kana: the search itself, over one page of names, with
// every query and the exact set of names it must find among them.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "core/button_search.h"
#include "core/text_codec.h"

namespace vl {
namespace {

const std::vector<std::wstring> kNames = {
    L"メモ帳",          L"ピント",       L"エクスプローラー", L"きょう",     L"きって",      L"こんにちは",
    L"シンセ",          L"シネマ",       L"シート",           L"チーズ",     L"ツール",      L"フォルダ",
    L"ジャンプ",        L"シャッター",   L"チャット",         L"ヲタク",     L"ぁあ",        L"あっ",
    L"ーム",            L"ほん",         L"パネル",           L"カンジ",     L"カンナ",      L"マッチ",
    L"パーティー",      L"ヴァイオリン", L"ｹﾞｰﾑBar",          L"Photoshop 体験版", L"電卓", L"ﾒﾓ書き",
    L"スズキ",          L"ジム",         L"三ヶ月",           L"ゲーム 2",  L"バッファ"};

std::set<std::wstring> Found(std::wstring_view query, const std::vector<std::wstring>& targets = {}) {
  ButtonSearch search;
  search.Begin({std::make_shared<FoldedPage>(FoldPage(PageTexts{1, kNames, targets}))});
  for (wchar_t c : query) search.Type(c);
  std::set<std::wstring> names;
  for (const SearchHit& hit : search.Hits()) names.insert(kNames[static_cast<std::size_t>(hit.btnIndex - 1)]);
  return names;
}

std::string Shown(const std::set<std::wstring>& names) {
  std::string out;
  for (const auto& name : names) out += WideToUtf8(name) + " ";
  return out;
}

struct Case {
  std::wstring_view query;
  std::set<std::wstring> names;
};

const Case kCases[] = {
    {L"memo", {L"メモ帳", L"ﾒﾓ書き"}},  // half-width kana read too
    {L"pinto", {L"ピント"}},
    {L"eku", {L"エクスプローラー"}},
    {L"puro-ra-", {L"エクスプローラー"}},  // ー as "-"
    {L"puroora", {L"エクスプローラー"}},   // ー as the vowel before it
    {L"kyou", {L"きょう"}},
    {L"kitte", {L"きって"}},
    {L"konnnichiha", {L"こんにちは"}},
    {L"konnichiha", {L"こんにちは"}},  // nn then i, as the user meant it
    {L"shin", {L"シンセ", L"シネマ"}},  // its n may begin ne
    {L"shinn", {L"シンセ"}},
    {L"shin'", {L"シンセ"}},
    {L"shi-to", {L"シート"}},
    {L"si-to", {L"シート"}},
    {L"chi-zu", {L"チーズ"}},
    {L"ti-zu", {L"チーズ"}},
    {L"tsu-ru", {L"ツール"}},
    {L"tuuru", {L"ツール"}},
    {L"foruda", {L"フォルダ"}},
    {L"janpu", {L"ジャンプ"}},
    {L"zyanpu", {L"ジャンプ"}},
    {L"jyannpu", {L"ジャンプ"}},
    {L"jimu", {L"ジム"}},
    {L"zimu", {L"ジム"}},
    {L"shatta-", {L"シャッター"}},
    {L"syatta", {L"シャッター"}},
    {L"chatto", {L"チャット"}},
    {L"tyatto", {L"チャット"}},
    {L"cyatto", {L"チャット"}},
    {L"wotaku", {L"ヲタク"}},
    {L"otaku", {L"ヲタク"}},
    {L"laa", {L"ぁあ"}},  // small kana
    {L"xaa", {L"ぁあ"}},
    {L"altu", {L"あっ"}},  // っ with no consonant after it
    {L"axtsu", {L"あっ"}},
    {L"-mu", {L"ーム"}},  // ー at the start
    {L"hon", {L"ほん"}},  // a lone n at the end
    {L"honn", {L"ほん"}},
    {L"pane", {L"パネル"}},
    {L"kanji", {L"カンジ"}},
    {L"kannji", {L"カンジ"}},
    {L"kan'ji", {L"カンジ"}},
    {L"kanna", {L"カンナ"}},
    {L"macchi", {L"マッチ"}},
    {L"matchi", {L"マッチ"}},
    {L"matti", {L"マッチ"}},
    {L"pa-thi-", {L"パーティー"}},
    {L"vaiorin", {L"ヴァイオリン"}},
    {L"ge-mubar", {L"ｹﾞｰﾑBar"}},  // kana and Latin letters in one name
    {L"geemub", {L"ｹﾞｰﾑBar"}},
    {L"bar", {L"ｹﾞｰﾑBar"}},
    {L"shop", {L"Photoshop 体験版"}},  // Latin letters as typed, whatever romaji makes of them
    {L"Photo", {L"Photoshop 体験版"}},
    {L"suzuki", {L"スズキ"}},
    {L"xke", {L"三ヶ月"}},      // the last kana of the table
    {L"baffa", {L"バッファ"}},   // ッ doubles the f of ファ, not the h of フ
    {L"ge-mu 2", {L"ゲーム 2"}},  // a blank and a digit among the romaji
};

TEST(Romaji, EveryQueryFindsExactlyItsNamesAndSoDoesEveryPrefixOfIt) {
  for (const Case& c : kCases) {
    EXPECT_EQ(Found(c.query), c.names) << WideToUtf8(c.query) << " found " << Shown(Found(c.query));
    // While the user types: the names never vanish to come back at a later letter.
    for (std::size_t length = 1; length < c.query.size(); ++length) {
      const std::set<std::wstring> found = Found(c.query.substr(0, length));
      for (const std::wstring& name : c.names)
        EXPECT_TRUE(found.count(name)) << WideToUtf8(c.query.substr(0, length)) << " lost " << WideToUtf8(name);
    }
  }
}

TEST(Romaji, WhatItDoesNotFind) {
  const Case cases[] = {
      {L"memu", {}},             // the syllable typed is mo, not mu
      {L"emo", {}},              // never from the middle of a kana's spelling
      {L"denntaku", {}},         // kanji are not read
      {L"shinne", {}},           // nn is ン: シネマ has none
      {L"konniti", {L"こんにちは"}},
      {L"ka", {L"カンジ", L"カンナ"}},  // never キャ, nor the k of ッカ... only a kana's start
      {L"tta", {L"シャッター"}},          // from ッ on
      {L"ta", {L"シャッター", L"ヲタク"}},
      {L"su", {L"スズキ", L"エクスプローラー"}},  // not the s of シ
  };
  for (const Case& c : cases)
    EXPECT_EQ(Found(c.query), c.names) << WideToUtf8(c.query) << " found " << Shown(Found(c.query));
}

TEST(Romaji, QueriesWithoutLatinLettersAndTargetsMatchAsBefore) {
#ifdef _WIN32
  const std::set<std::wstring> memo = {L"メモ帳", L"ﾒﾓ書き"};  // the platform folds half width
#else
  const std::set<std::wstring> memo = {L"メモ帳"};
#endif
  EXPECT_EQ(Found(L"メモ"), memo);
  EXPECT_EQ(Found(L"めも"), memo);
  // "-" is ー only where no vowel comes before it, and a hyphen as typed.
  EXPECT_EQ(Found(L"-"), (std::set<std::wstring>{L"ーム"}));
  std::vector<std::wstring> hyphens(kNames.size());
  hyphens[20] = L"C:\\1-2.txt";  // パネル
  EXPECT_EQ(Found(L"1-2", hyphens), (std::set<std::wstring>{L"パネル"}));
  EXPECT_EQ(Found(L"'", hyphens), (std::set<std::wstring>{})) << "never inside the n' of ン";
  // A target's file name as typed, and read as romaji where it holds kana; "emo" finds the
  // Latin letters of memo.exe, never the middle of メモ.
  std::vector<std::wstring> targets(kNames.size());
  targets[30] = L"C:\\Tools\\memo.exe";              // スズキ
  targets[31] = L"C:\\ゲーム\\しょうぎ.exe";         // ジム
  EXPECT_EQ(Found(L"emo", targets), (std::set<std::wstring>{L"スズキ"}));
  EXPECT_EQ(Found(L"syougi", targets), (std::set<std::wstring>{L"ジム"}));
  EXPECT_EQ(Found(L"geemu", targets), (std::set<std::wstring>{L"ｹﾞｰﾑBar", L"ゲーム 2"}))
      << "the folders are never looked at";
  // Kana and letters in one query: as typed, and with its kana read.
  EXPECT_EQ(Found(L"メモ帳"), (std::set<std::wstring>{L"メモ帳"}));
  EXPECT_EQ(Found(L"ゲームb"), (std::set<std::wstring>{L"ｹﾞｰﾑBar"}));
  EXPECT_EQ(Found(L"meモ"), (std::set<std::wstring>{L"メモ帳", L"ﾒﾓ書き"}));
}

TEST(Romaji, ForInputMethodReadingsTheFirstFormIsTheInputMethodsOwn) {
  EXPECT_EQ(RomajiForms(L"konnichiha"), (std::vector<std::wstring>{L"kon'itiha", L"kon'nitiha"}));
  std::vector<std::wstring> sh = RomajiForms(L"sh");
  std::sort(sh.begin(), sh.end());
  EXPECT_EQ(sh, (std::vector<std::wstring>{L"si", L"sy"})) << "not s: that would find every kana of the s row";
  // Every nn before a vowel doubles the forms: they stop at the bound, the first kept.
  const std::vector<std::wstring> many = RomajiForms(L"nnannannannannanna");
  EXPECT_EQ(many.size(), kMaxRomajiForms);
  EXPECT_EQ(many.front(), L"n'an'an'an'an'an'a");
}

}  // namespace
}  // namespace vl
