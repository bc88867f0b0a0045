#include "embed/embed_rules.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using embed::ContainerAction;
using embed::WaitOutcome;

TEST(ShowTarget, ViewerOnlyWhenMaximizedHoldsAOneInListerMode) {
  EXPECT_EQ(embed::ShowTarget::ViewerWindow, embed::ChooseShowTarget(u"1", ViewMode::Lister));
  EXPECT_EQ(embed::ShowTarget::ViewerWindow, embed::ChooseShowTarget(u"10", ViewMode::Lister));
  EXPECT_EQ(embed::ShowTarget::ViewerWindow, embed::ChooseShowTarget(u"21", ViewMode::Lister));
  EXPECT_EQ(embed::ShowTarget::ListerWindow, embed::ChooseShowTarget(u"0", ViewMode::Lister));
  EXPECT_EQ(embed::ShowTarget::ListerWindow, embed::ChooseShowTarget(u"", ViewMode::Lister));
  EXPECT_EQ(embed::ShowTarget::ListerWindow, embed::ChooseShowTarget(u"1", ViewMode::QuickView));
}

struct KeyProbe {
  std::vector<int> asked;
  int down = 0;  // the key reported down, 0 for none
  std::int16_t operator()(int key) {
    asked.push_back(key);
    return key == down ? static_cast<std::int16_t>(0x8000) : 0;
  }
};

auto Answers = [] { return true; };
auto Silent = [] { return false; };

TEST(WaitOutcome, EqualIdsOfAWindowThatAnswersEndTheWaitWithoutAskingMore) {
  KeyProbe keys;
  keys.down = VK_UP;
  bool endedAsked = false;
  EXPECT_EQ(WaitOutcome::Done, embed::DecideWaitPass(
                                   42, 42, Answers, [&] { return endedAsked = true; }, std::ref(keys)));
  EXPECT_FALSE(endedAsked);
  EXPECT_TRUE(keys.asked.empty());
}

TEST(WaitOutcome, TheWindowIsProbedOnlyForEqualIdsAndWhileSilentTheWaitGoesOn) {
  bool probed = false;
  KeyProbe keys;
  embed::DecideWaitPass(
      7, 42, [&] { return probed = true; }, Silent, std::ref(keys));
  EXPECT_FALSE(probed);

  KeyProbe none;
  EXPECT_EQ(WaitOutcome::Again, embed::DecideWaitPass(42, 42, Silent, Silent, std::ref(none)));
  EXPECT_EQ((std::vector<int>{VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT}), none.asked);
  KeyProbe left;
  left.down = VK_LEFT;
  EXPECT_EQ(WaitOutcome::Abort, embed::DecideWaitPass(42, 42, Silent, Silent, std::ref(left)));
  EXPECT_EQ(WaitOutcome::ViewerGone, embed::DecideWaitPass(42, 42, Silent, Answers, std::ref(none)));
}

TEST(WaitOutcome, ArrowKeysAreAskedInOrderUntilTheFirstDown) {
  KeyProbe keys;
  keys.down = VK_DOWN;
  EXPECT_EQ(WaitOutcome::Abort, embed::DecideWaitPass(7, 42, Answers, Silent, std::ref(keys)));
  EXPECT_EQ((std::vector<int>{VK_UP, VK_DOWN}), keys.asked);

  KeyProbe none;
  EXPECT_EQ(WaitOutcome::Again, embed::DecideWaitPass(0, 42, Answers, Silent, std::ref(none)));
  EXPECT_EQ((std::vector<int>{VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT}), none.asked);
}

TEST(WaitOutcome, AnEndedViewerProcessEndsTheWait) {
  KeyProbe keys;
  EXPECT_EQ(WaitOutcome::ViewerGone, embed::DecideWaitPass(0, 42, Answers, Answers, std::ref(keys)));
  EXPECT_TRUE(keys.asked.empty());
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
  EXPECT_EQ(ContainerAction::ReleaseArrowKeys, embed::ChooseContainerAction(WM_CREATE));
  EXPECT_EQ(ContainerAction::FitViewer, embed::ChooseContainerAction(WM_SIZE));
  EXPECT_EQ(ContainerAction::GrayContextItems, embed::ChooseContainerAction(WM_CONTEXTMENU));
  EXPECT_EQ(ContainerAction::ForwardKey, embed::ChooseContainerAction(WM_KEYDOWN));
  EXPECT_EQ(ContainerAction::RefreshCaption, embed::ChooseContainerAction(WM_KEYUP));
  for (unsigned message : {0u, 15u, WM_DESTROY, WM_CLOSE, WM_LBUTTONUP, WM_SYSCOMMAND, 0xFFFFu})
    EXPECT_EQ(ContainerAction::Nothing, embed::ChooseContainerAction(message)) << message;
  EXPECT_TRUE(embed::CaptionInTail(0));
  EXPECT_TRUE(embed::CaptionInTail(1));  // toggled, not down
  EXPECT_FALSE(embed::CaptionInTail(static_cast<std::int16_t>(0x8000)));
  EXPECT_FALSE(embed::CaptionInTail(static_cast<std::int16_t>(0x8001)));
}

}  // namespace
