#include <gtest/gtest.h>

#include "dialog_fixture.h"
#include "ui/control_ccombobox.h"
#include "ui/control_clistbox.h"
#include "ui/wcheckbox.h"
#include "ui/wedit.h"
#include "ui/wmledit.h"
#include "ui/wradiobutton.h"

namespace ui {
namespace {

using namespace platform;

// The test dialog, built and hooked without controls of its own.
class PlainDialog : public WDIAG {
 public:
  explicit PlainDialog(const DialogOwner& owner) {
    if (Init(owner, "DLG_TEST")) CREATE("DLG_TEST");
  }
};

class Controls : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    dialog = std::make_unique<PlainDialog>(host);
    ASSERT_NE(dialog->hWnd(), 0u);
  }
  std::unique_ptr<PlainDialog> dialog;
};

TEST_F(Controls, RadioButtonsUncheckTheRestOfTheirGroupOnly) {
  WRadioButton one(*dialog, 1010), two(*dialog, 1011), three(*dialog, 1013), a(*dialog, 1020), b(*dialog, 1021);
  EXPECT_EQ(one.anGroupIds(), (std::vector<std::int64_t>{1010, 1011, 1013}));  // Not consecutive.
  EXPECT_EQ(b.anGroupIds(), (std::vector<std::int64_t>{1020, 1021}));
  a._Checked(true);
  one._Checked(true);
  three._Checked(true);
  EXPECT_FALSE(one.Checked());
  EXPECT_FALSE(two.Checked());
  EXPECT_TRUE(three.Checked());
  EXPECT_TRUE(a.Checked());  // Another group.
  b._Checked(true);
  EXPECT_FALSE(a.Checked());
  EXPECT_TRUE(b.Checked());
  b._Checked(false);
  EXPECT_FALSE(b.Checked());
}

TEST_F(Controls, ACheckBoxReadsAndSetsItsState) {
  WCheckBox active(*dialog, 1001);
  EXPECT_FALSE(active.Checked());
  active._Checked(true);
  EXPECT_TRUE(dialog->is_checked(1001));
  person.click(active.hWnd());
  EXPECT_FALSE(active.Checked());
}

TEST_F(Controls, ComboItemsKeepTheirCargoInTheControlsOrder) {
  CCOMBOBOX combo;
  combo.Init(*dialog, 503);
  EXPECT_EQ(combo.Add("POP3   ", 0, data::Value(1)), 0);
  EXPECT_EQ(combo.Add("IMAP", 0, data::Value(2)), 1);
  EXPECT_EQ(combo.Add("SMTP", 1, data::Value(3)), 0);  // Inserted at position 1.
  EXPECT_EQ(combo.Len(), 3u);
  EXPECT_EQ(combo.aItems.GET(2).text(), "POP3");  // Trailing blanks removed.
  EXPECT_EQ(combo.Position(), 0u);
  EXPECT_EQ(combo.CurItem(), "");  // No selection reads empty.
  EXPECT_TRUE(combo.CurCargo().is_empty());

  combo._Position(3);
  EXPECT_EQ(combo.CurItem(), "IMAP");
  EXPECT_EQ(combo.CurCargo().number(), 2);
  EXPECT_EQ(dialog->item_text(503), "IMAP");
  combo._Position(4);  // Past the end: the selection stays.
  EXPECT_EQ(combo.Position(), 3u);
  combo.Skip(-5);
  EXPECT_EQ(combo.Position(), 1u);
  EXPECT_TRUE(combo.SeekCargo(data::Value(1)));
  EXPECT_EQ(combo.CurItem(), "POP3");
  EXPECT_TRUE(combo.Seek("IM"));
  EXPECT_EQ(combo.Position(), 3u);
  EXPECT_FALSE(combo.Seek("X"));

  // A person's choice is the current item too.
  person.choose_item(combo.hWnd(), 0);
  EXPECT_EQ(combo.CurCargo().number(), 3);
  combo.Delete();
  EXPECT_EQ(combo.Len(), 2u);
  EXPECT_EQ(combo.GET_CARGOS().size(), 2u);
  EXPECT_EQ(combo.GET_CARGOS()[0].number(), 1);
  combo.CLEAR();
  EXPECT_EQ(combo.Len(), 0u);
  EXPECT_EQ(ws.SENDMESSAGE(combo.hWnd(), CB_GETCOUNT), 0);
}

TEST_F(Controls, ASortedComboKeepsItsCargoBesideEachText) {
  ws.SETWINDOWLONG(dialog->item(503), GWL_STYLE, ws.GETWINDOWLONG(dialog->item(503), GWL_STYLE) | CBS_SORT);
  CCOMBOBOX combo;
  combo.Init(*dialog, 503);
  combo.Add("Zeta", 0, data::Value(26));
  combo.Add("Alfa", 0, data::Value(1));
  EXPECT_EQ(combo.Add("Beta", 0, data::Value(2)), 1);
  for (std::size_t position = 1; position <= combo.Len(); ++position) {
    const std::string shown = ws.describe(combo.hWnd())->items.at(position - 1);
    EXPECT_EQ(combo.aItems.GET(position).text(), shown);
  }
  EXPECT_TRUE(combo.SeekCargo(data::Value(26)));
  EXPECT_EQ(combo.CurItem(), "Zeta");
  EXPECT_EQ(combo.Position(), 3u);
}

TEST_F(Controls, ListBoxSelectionByPositionAndCargo) {
  ws.SETWINDOWLONG(dialog->item(600), GWL_STYLE, ws.GETWINDOWLONG(dialog->item(600), GWL_STYLE) | LBS_MULTIPLESEL);
  CListBox list;
  list.Init(*dialog, 600);
  for (int n = 1; n <= 4; ++n) list.Add("Item " + std::to_string(n), 0, data::Value(n * 10));
  list.SELECTITEM(2);
  EXPECT_TRUE(list.SELECTCARGO(data::Value(40)));
  EXPECT_FALSE(list.SELECTCARGO(data::Value(99)));
  EXPECT_TRUE(list.ISSELECTED(2));
  EXPECT_FALSE(list.ISSELECTED(3));
  const data::ValueList cargos = list.GetCargos();
  ASSERT_EQ(cargos.size(), 2u);
  EXPECT_EQ(cargos[1].number(), 40);
  EXPECT_EQ(list.GetBCargos().front().first, 2u);
  EXPECT_EQ(list.GetInfoCargo(data::Value(30)), "Item 3");
  EXPECT_EQ(list.POS_CARGO(data::Value(30)), 3u);
  EXPECT_EQ(list.GET_POSCARGO(1).number(), 10);
  list.SET_TEXT(2, "Segundo  ");
  EXPECT_EQ(list.aItems.GET(2).text(), "Segundo");
  EXPECT_TRUE(list.ISSELECTED(2));
  EXPECT_EQ(list.GET_POSCARGO(2).number(), 20);
}

TEST_F(Controls, EditSelectionCaretAndClipboard) {
  WEdit edit(*dialog, 501, std::string("Reservas Centro"));
  EXPECT_EQ(edit.Len(), 15);
  edit._Selection({1, 9});
  EXPECT_EQ(edit.CurItem(), "Reservas");
  edit.Copy();
  edit._Position(16);
  edit.Paste();
  EXPECT_EQ(edit.Text(), "Reservas CentroReservas");
  edit._Selection({0, 0});
  EXPECT_EQ(edit.Selection(), (std::array<int, 2>{1, 24}));
  edit._CurItem("Nuevo");
  EXPECT_EQ(edit.Text(), "Nuevo");
  EXPECT_EQ(edit.Position(), 6);
}

TEST_F(Controls, MultiLineEditMovesByLines) {
  WMLEdit memo(*dialog, 700, std::string("uno\r\ndos\r\ntres"));
  EXPECT_EQ(memo.RecCount(), 3);
  memo.GoBottom();
  EXPECT_EQ(memo.RecNo(), 3);
  memo.Skip(-1);
  EXPECT_EQ(memo.RecNo(), 2);
  EXPECT_EQ(memo.Position(), 6);
  memo.GoTo(9);
  EXPECT_EQ(memo.RecNo(), 3);
  memo.GoTop();
  EXPECT_EQ(memo.RecNo(), 1);
}

}  // namespace
}  // namespace ui
