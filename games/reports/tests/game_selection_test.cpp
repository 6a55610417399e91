// The marks the general game report prints from: each limit alone, the
// limits together, and the values that must not break the statements.
#include <gtest/gtest.h>

#include "games/reports/GameSelection.h"
#include "games/reports/tests/GameReportSupport.h"

namespace {

using Names = std::vector<std::string>;

class GameSelection : public tvntest::GameReportTest {
 protected:
  void SetUp() override {
    GameReportTest::SetUp();
    nin_ = AddLookup("publisher", "Nin");
    sega_ = AddLookup("publisher", "Sega Co");
    rare_ = AddLookup("developer", "Rare");
    puzzle_ = AddLookup("genre", "Puzzle");
    action_ = AddLookup("genre", "Action");
    tetris_ = AddGame("Tetris", 1, nin_, rare_, puzzle_);
    zelda_ = AddGame("Zelda", 2, nin_, 0, action_);
    sonic_ = AddGame("Sonic", 4, sega_, rare_, action_);
    other_ = AddGame("Pong", 6);
  }
  Names Mark(const pl::GameLimits& limits) {
    pl::MarkGameRecords(*db_, limits);
    return Marked();
  }
  long nin_, sega_, rare_, puzzle_, action_, tetris_, zelda_, sonic_, other_;
};

TEST_F(GameSelection, AllSectionsWithoutLimitsMarksEveryGame) {
  EXPECT_EQ(Mark({}), (Names{"Pong", "Sonic", "Tetris", "Zelda"}));
}

TEST_F(GameSelection, EachLimitAloneKeepsOnlyItsGames) {
  pl::GameLimits sections;
  sections.sectionList = " 1 4 ";
  EXPECT_EQ(Mark(sections), (Names{"Sonic", "Tetris"}));

  pl::GameLimits genre;
  genre.genres = " " + std::to_string(action_) + " ";
  EXPECT_EQ(Mark(genre), (Names{"Sonic", "Zelda"}));

  // A game with no developer matches no developer list.
  pl::GameLimits developer;
  developer.developers = " " + std::to_string(rare_) + " ";
  EXPECT_EQ(Mark(developer), (Names{"Sonic", "Tetris"}));

  pl::GameLimits publisher;
  publisher.publishers = " " + std::to_string(sega_) + " ";
  EXPECT_EQ(Mark(publisher), (Names{"Sonic"}));
}

TEST_F(GameSelection, LimitsCombineAndTheNextReportStartsOver) {
  pl::GameLimits limits;
  limits.sectionList = " 1 2 4 ";
  limits.publishers = " " + std::to_string(nin_) + " ";
  limits.genres = " " + std::to_string(action_) + " ";
  EXPECT_EQ(Mark(limits), (Names{"Zelda"}));
  // The marks stay in the file; a new report sets them all again first.
  EXPECT_EQ(Mark({}), (Names{"Pong", "Sonic", "Tetris", "Zelda"}));
}

TEST_F(GameSelection, KeyOneDoesNotMatchInsideTwelve) {
  db_->Execute("update mediadata set sectionnumber = 12 where name = 'Pong'");
  pl::GameLimits limits;
  limits.sectionList = " 1 ";
  EXPECT_EQ(Mark(limits), (Names{"Tetris"}));
}

TEST_F(GameSelection, SystemTypeAndSupportLimitsNeedALinkedTickedEntry) {
  const long handheld = AddSysType("Handheld");
  const long console = AddSysType("Console");
  const long link = AddSupport("Link cable");
  const long rumble = AddSupport("Rumble");
  Link("systypemedia", tetris_, handheld);
  Link("systypemedia", zelda_, console);
  Link("systypemedia", sonic_, console);
  Link("supportsmedia", tetris_, link);
  Link("supportsmedia", sonic_, rumble);

  pl::GameLimits types;
  types.sysTypes = " " + std::to_string(console) + " ";
  EXPECT_EQ(Mark(types), (Names{"Sonic", "Zelda"}));  // Pong has no system type at all

  pl::GameLimits supports;
  supports.supports = " " + std::to_string(link) + " " + std::to_string(rumble) + " ";
  EXPECT_EQ(Mark(supports), (Names{"Sonic", "Tetris"}));

  pl::GameLimits both = types;
  both.supports = " " + std::to_string(link) + " ";
  EXPECT_EQ(Mark(both), Names{});
  both.supports = " " + std::to_string(rumble) + " ";
  EXPECT_EQ(Mark(both), (Names{"Sonic"}));
}

TEST_F(GameSelection, NameLimitMatchesByPrefixAndTakesAnyCharacter) {
  AddGame("Tom's Game & Co | 2; 3", 1);
  AddGame("Tom's Other", 1);
  pl::GameLimits limits;
  limits.name = "Tom's Game & Co | 2;";
  EXPECT_EQ(Mark(limits), (Names{"Tom's Game & Co | 2; 3"}));
  limits.name = "Tom's";
  EXPECT_EQ(Mark(limits), (Names{"Tom's Game & Co | 2; 3", "Tom's Other"}));
  // The prefix is as long as the limit in characters: one beyond U+FFFF
  // counts once, as the engine's left() counts it.
  AddGame("\xF0\xA0\xAE\xB7\xE9\x87\x8E Saga", 1);
  AddGame("\xF0\xA0\xAE\xB7\xE9\x87\x8E", 1);
  AddGame("\xF0\xA0\xAE\xB7 Other", 1);
  limits.name = "\xF0\xA0\xAE\xB7\xE9\x87\x8E";
  EXPECT_EQ(Mark(limits), (Names{"\xF0\xA0\xAE\xB7\xE9\x87\x8E", "\xF0\xA0\xAE\xB7\xE9\x87\x8E Saga"}));
  limits.name = "***NO LIMITS***";
  EXPECT_EQ(Mark(limits).size(), 9u);
  // A key list that did not come from a grid cannot carry text into the statement.
  limits.name.clear();
  limits.genres = " 1') or 1=1 or ('";
  EXPECT_NO_THROW(Mark(limits));
}

}  // namespace
