#include "embed/embed_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using embed::ContainerAction;

TEST(ShowTarget, ViewerOnlyWhenMaximizedHoldsAOneInListerMode) {
  EXPECT_EQ(embed::ShowTarget::ViewerWindow, embed::ChooseShowTarget(u"1", ViewMode::Lister));
  EXPECT_EQ(embed::ShowTarget::ViewerWindow, embed::ChooseShowTarget(u"10", ViewMode::Lister));
  EXPECT_EQ(embed::ShowTarget::ViewerWindow, embed::ChooseShowTarget(u"21", ViewMode::Lister));
  EXPECT_EQ(embed::ShowTarget::ListerWindow, embed::ChooseShowTarget(u"0", ViewMode::Lister));
  EXPECT_EQ(embed::ShowTarget::ListerWindow, embed::ChooseShowTarget(u"", ViewMode::Lister));
  EXPECT_EQ(embed::ShowTarget::ListerWindow, embed::ChooseShowTarget(u"1", ViewMode::QuickView));
}

// What the platform answers for one step of an arrival or a leaving.
struct Platform {
  bool found, reaches, answers, embedded, answered, ended, gone, hung;
};

// The inputs of the rules, counting the probes of the viewer's thread.
struct Answers {
  explicit Answers(const Platform& platform) : p(platform) {}
  bool WindowFound() { return p.found; }
  bool HookReaches() { return p.reaches; }
  bool WindowAnswers() { return ++probes, p.answers; }
  bool Embedded() { return p.embedded; }
  bool Answered() { return p.answered; }
  bool ProcessEnded() { return p.ended; }
  bool Gone() { return p.gone; }
  bool Hung() { return p.hung; }
  Platform p;
  int probes = 0;
};

using embed::ArrivalAction;
using embed::ArrivalPhase;

TEST(Arrival, AsksTheViewerToEmbedItselfAndSeesItEmbeddedFailedOrNotYet) {
  // found, reaches, answers, embedded, answered, ended; gone and hung are the leaving's
  const struct {
    ArrivalPhase phase;
    Platform platform;
    ArrivalAction action;
  } rows[] = {
      {ArrivalPhase::Started, {false, true, true, false, false, false, false, false}, ArrivalAction::Wait},
      {ArrivalPhase::Started, {false, true, true, false, false, true, false, false}, ArrivalAction::Failed},
      {ArrivalPhase::Started, {true, true, false, false, false, false, false, false}, ArrivalAction::AskToEmbed},
      {ArrivalPhase::Started, {true, false, true, false, false, false, false, false}, ArrivalAction::EmbedFromHost},
      {ArrivalPhase::Started, {true, false, false, false, false, false, false, false}, ArrivalAction::Wait},
      {ArrivalPhase::Started, {true, false, false, false, false, true, false, false}, ArrivalAction::Failed},
      {ArrivalPhase::Asked, {true, true, true, true, true, true, false, false}, ArrivalAction::Shown},
      {ArrivalPhase::Asked, {true, true, true, false, true, false, false, false}, ArrivalAction::Failed},  // refused
      {ArrivalPhase::Asked, {true, true, true, false, false, true, false, false}, ArrivalAction::Failed},
      {ArrivalPhase::Asked, {true, true, true, false, false, false, false, false}, ArrivalAction::Wait},
  };
  for (const auto& row : rows) {
    Answers answers(row.platform);
    EXPECT_EQ(row.action, embed::DecideArrival(row.phase, answers)) << &row - rows;
    // A viewer the hook reaches is never probed from the host's thread.
    if (row.platform.reaches) {
      EXPECT_EQ(0, answers.probes) << &row - rows;
    }
  }
  struct Racing : Answers {  // the viewer re-parents its window, then answers, between the host's two reads
    int reads = 0;
    bool Embedded() { return ++reads > 1; }
    bool Answered() { return ++reads > 1; }
  } racing{Answers(rows[0].platform)};
  EXPECT_NE(ArrivalAction::Failed, embed::DecideArrival(ArrivalPhase::Asked, racing));
}

using embed::LeavingAction;
using embed::LeavingPhase;

TEST(Leaving, EndsOnlyAHungViewerOrOneThatHasNotTakenTheRequestInItsTime) {
  // gone, hung, answered (the request taken), answers (a probe)
  const struct {
    LeavingPhase phase;
    std::uint32_t elapsed;
    bool gone, hung, answered, answers;
    LeavingAction action;
  } rows[] = {
      {LeavingPhase::Asked, 0, true, true, false, false, LeavingAction::Done},
      {LeavingPhase::Asked, 4999, false, false, false, false, LeavingAction::Wait},
      {LeavingPhase::Asked, 5000, false, false, false, false, LeavingAction::End},
      {LeavingPhase::Asked, 100, false, true, false, false, LeavingAction::End},
      {LeavingPhase::Asked, 60000, false, false, true, false, LeavingAction::Wait},  // tearing down
      {LeavingPhase::Asked, 60000, false, true, true, false, LeavingAction::End},
      {LeavingPhase::Unreached, 0, false, false, false, true, LeavingAction::MoveOutOfView},
      {LeavingPhase::Unreached, 60000, false, false, false, false, LeavingAction::Wait},
      {LeavingPhase::Unreached, 0, false, true, false, true, LeavingAction::End},
      {LeavingPhase::Closing, 999, false, false, false, false, LeavingAction::Wait},
      {LeavingPhase::Closing, 1000, false, false, false, false, LeavingAction::End},
      {LeavingPhase::Closing, 0, false, true, false, false, LeavingAction::End},
      {LeavingPhase::Ended, 499, false, true, false, false, LeavingAction::Wait},
      {LeavingPhase::Ended, 500, false, true, false, false, LeavingAction::Done},
  };
  for (const auto& row : rows) {
    Answers answers({false, false, row.answers, false, row.answered, false, row.gone, row.hung});
    EXPECT_EQ(row.action, embed::DecideLeaving(row.phase, row.elapsed, answers)) << &row - rows;
  }
}

// The note names the file without its folder, cut at a whole character where it would not
// fit.
TEST(Note, NamesTheFileWithoutItsFolderAndNeverEndsInHalfACharacter) {
  char16_t name[text16::kUnits], text[text16::kUnits];
  embed::NameOfFile(u"C:\\pics\\a.jpg", name);
  embed::ComposeNote(embed::Note::Opening, name, text);
  EXPECT_EQ(std::u16string(u"Opening a.jpg"), text);
  embed::ComposeNote(embed::Note::Ended, name, text);
  EXPECT_EQ(std::u16string(u"The viewer ended before it showed a.jpg"), text);
  embed::ComposeNote(embed::Note::None, name, text);
  EXPECT_EQ(std::u16string(), text);
  // 250 units, then an emoji whose second half would be unit 260 of "Opening ...".
  std::u16string longName = u"C:\\" + std::u16string(250, u'x') + u"\U0001F600" + u"yz";
  embed::NameOfFile(longName.c_str(), name);
  EXPECT_EQ(254u, text16::Length(name));
  embed::ComposeNote(embed::Note::Opening, name, text);
  EXPECT_EQ(u"Opening " + std::u16string(250, u'x'), std::u16string(text));
}

TEST(MenuTrim, OnlyANineItemMenuLosesPositionsOneFourFiveSix) {
  int deletions[4] = {};
  ASSERT_EQ(4, embed::MenuTrimDeletions(9, deletions));
  // Applying the deletions to the positions 0..8 leaves 0, 2, 3, 7, 8.
  std::vector<int> items = {0, 1, 2, 3, 4, 5, 6, 7, 8};
  for (int position : deletions) items.erase(items.begin() + position);
  EXPECT_EQ((std::vector<int>{0, 2, 3, 7, 8}), items);
  for (int count : {0, 1, 8, 10, -1}) EXPECT_EQ(0, embed::MenuTrimDeletions(count, deletions)) << count;
}

// The Edit item's state before the graying, the state the close finds, and what it gives
// back (-1: nothing, and no redraw).
TEST(ListerEdit, TheCloseGivesBackTheEarlierStateOnlyToAnItemStillGrayed) {
  const std::uint32_t none = embed::kNoMenuItem, grayed = MF_GRAYED | MF_DISABLED;
  const std::uint32_t rows[][3] = {
      {0, grayed, 0},                  // enabled before
      {0, 0x0500 | grayed, 0},         // an item that opens a menu of five
      {MF_GRAYED, grayed, MF_GRAYED},  // grayed before: it stays grayed
      {grayed, grayed, none},          // as it was
      {0, 0, none},                    // enabled by the host meanwhile
      {0, none, none},                 // the item or the menu gone
      {none, grayed, none},            // no item for the load to gray
  };
  for (const auto& row : rows) {
    unsigned state = 99;
    bool givesBack = embed::EditStateToGiveBack(embed::RecordEditState(row[0]), row[1], &state);
    EXPECT_EQ(row[2], givesBack ? state : none) << row[0] << " " << row[1];
  }
}

TEST(ContainerAction, EachHandledMessageHasItsActionAndTheRestNone) {
  EXPECT_EQ(ContainerAction::FitViewer, embed::ChooseContainerAction(WM_SIZE));
  EXPECT_EQ(ContainerAction::PaintNote, embed::ChooseContainerAction(WM_PAINT));
  EXPECT_EQ(ContainerAction::GrayContextItems, embed::ChooseContainerAction(WM_CONTEXTMENU));
  EXPECT_EQ(ContainerAction::ForwardKey, embed::ChooseContainerAction(WM_KEYDOWN));
  EXPECT_EQ(ContainerAction::RefreshCaption, embed::ChooseContainerAction(WM_KEYUP));
  for (unsigned message : {0u, WM_CREATE, WM_DESTROY, WM_CLOSE, WM_LBUTTONUP, WM_SYSCOMMAND, 0xFFFFu})
    EXPECT_EQ(ContainerAction::Nothing, embed::ChooseContainerAction(message)) << message;
  EXPECT_TRUE(embed::CaptionInTail(0));
  EXPECT_TRUE(embed::CaptionInTail(1));  // toggled, not down
  EXPECT_FALSE(embed::CaptionInTail(static_cast<std::int16_t>(0x8000)));
  EXPECT_FALSE(embed::CaptionInTail(static_cast<std::int16_t>(0x8001)));
}

}  // namespace
