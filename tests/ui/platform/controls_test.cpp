#include <gtest/gtest.h>

#include "ui/platform/person_input.h"
#include "window_system_fixture.h"

namespace ui::platform {
namespace {

class Controls : public WindowSystemTest {
 protected:
  void SetUp() override {
    frame = make_window();
    ws.SUBCLASSWINDOW(
        frame,
        [this](Handle, MessageId, const Param& w, const Param& l) -> std::int64_t {
          commands.push_back({C4W_LOWORD(w.number()), C4W_HIWORD(w.number()), l.number()});
          return 0;
        },
        MessageFilter::only({WM_COMMAND}));
  }
  Handle control(std::string_view class_name, Style style, int id, std::string_view text = "") {
    return ws.CREATEWINDOW(class_name, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 50, 12, frame, id);
  }
  struct Command {
    std::int64_t id, code, control;
    bool operator==(const Command&) const = default;
  };
  Handle frame = 0;
  std::vector<Command> commands;
};

TEST_F(Controls, CheckBoxesAndRadioGroups) {
  const Handle box = control("Button", BS_AUTOCHECKBOX, 1001);
  const Handle push = control("Button", BS_PUSHBUTTON, 1);
  const Handle pop3 = control("Button", BS_AUTORADIOBUTTON | WS_GROUP, 1010);
  const Handle imap = control("Button", BS_AUTORADIOBUTTON, 1011);
  const Handle other_group = control("Button", BS_AUTORADIOBUTTON | WS_GROUP, 1020);
  EXPECT_EQ(ws.SENDMESSAGE(box, BM_GETCHECK), BST_UNCHECKED);
  ws.SENDMESSAGE(box, BM_SETCHECK, BST_CHECKED);
  EXPECT_EQ(ws.SENDMESSAGE(box, BM_GETCHECK), BST_CHECKED);
  EXPECT_TRUE(commands.empty());  // Setting the check notifies nobody.
  ws.SENDMESSAGE(box, BM_CLICK);
  EXPECT_EQ(ws.SENDMESSAGE(box, BM_GETCHECK), BST_UNCHECKED);
  EXPECT_EQ(commands, (std::vector<Command>{{1001, BN_CLICKED, box}}));
  EXPECT_EQ(ws.SENDMESSAGE(push, BM_GETCHECK), 0);

  ws.SENDMESSAGE(other_group, BM_SETCHECK, BST_CHECKED);
  ws.SENDMESSAGE(pop3, BM_CLICK);
  ws.SENDMESSAGE(imap, BM_CLICK);
  EXPECT_EQ(ws.SENDMESSAGE(pop3, BM_GETCHECK), BST_UNCHECKED);
  EXPECT_EQ(ws.SENDMESSAGE(imap, BM_GETCHECK), BST_CHECKED);
  EXPECT_EQ(ws.SENDMESSAGE(other_group, BM_GETCHECK), BST_CHECKED);  // Another group is untouched.
  ws.CHECKRADIOBUTTON(frame, 1010, 1011, 1010);
  EXPECT_EQ(ws.SENDMESSAGE(pop3, BM_GETCHECK), BST_CHECKED);
  EXPECT_EQ(ws.SENDMESSAGE(imap, BM_GETCHECK), BST_UNCHECKED);

  ws.ENABLEWINDOW(box, false);
  commands.clear();
  ws.SENDMESSAGE(box, BM_CLICK);
  EXPECT_TRUE(commands.empty());  // A disabled button cannot be clicked.
}

TEST_F(Controls, EditFieldsKeepTextSelectionAndModification) {
  const Handle edit = control("Edit", ES_AUTOHSCROLL, 501, "inicial");
  EXPECT_EQ(ws.GETWINDOWTEXT(edit), "inicial");
  ws.SETWINDOWTEXT(edit, "smtp.example.com");
  EXPECT_EQ(commands, (std::vector<Command>{{501, EN_CHANGE, edit}}));
  EXPECT_EQ(ws.SENDMESSAGE(edit, EM_GETMODIFY), 0);
  ws.SENDMESSAGE(edit, EM_SETSEL, 0, 4);
  EXPECT_EQ(ws.SENDMESSAGE(edit, EM_GETSEL), MAKELPARAM(0, 4));
  ws.SENDMESSAGE(edit, EM_REPLACESEL, 1, Param::text("mail"));
  EXPECT_EQ(ws.GETWINDOWTEXT(edit), "mail.example.com");
  EXPECT_EQ(ws.SENDMESSAGE(edit, EM_GETMODIFY), 1);
  ws.SENDMESSAGE(edit, EM_SETSEL, 0, -1);
  EXPECT_EQ(ws.SENDMESSAGE(edit, EM_GETSEL), MAKELPARAM(0, 16));
  EXPECT_EQ(ws.SENDMESSAGE(edit, EM_UNDO), 1);
  EXPECT_EQ(ws.GETWINDOWTEXT(edit), "smtp.example.com");

  ws.SENDMESSAGE(edit, EM_SETREADONLY, 1);
  ws.SENDMESSAGE(edit, EM_SETSEL, 0, -1);
  ws.SENDMESSAGE(edit, WM_CHAR, 'x');
  EXPECT_EQ(ws.GETWINDOWTEXT(edit), "smtp.example.com");  // Read-only ignores typing.
  ws.SENDMESSAGE(edit, EM_SETREADONLY, 0);
  ws.SENDMESSAGE(edit, WM_CHAR, 'x');
  ws.SENDMESSAGE(edit, WM_CHAR, 'y');
  ws.SENDMESSAGE(edit, WM_CHAR, '\b');
  EXPECT_EQ(ws.GETWINDOWTEXT(edit), "x");

  const Handle password = control("Edit", ES_PASSWORD, 502, "secreto");
  EXPECT_EQ(ws.SENDMESSAGE(password, EM_GETPASSWORDCHAR), '*');
  EXPECT_EQ(ws.GETWINDOWTEXT(password), "secreto");  // The program reads the real text.
  ws.SENDMESSAGE(password, EM_LIMITTEXT, 9);
  ws.SENDMESSAGE(password, EM_SETSEL, 7, 7);
  ws.SENDMESSAGE(password, EM_REPLACESEL, 0, Param::text("12345"));
  EXPECT_EQ(ws.GETWINDOWTEXT(password), "secreto12");
}

TEST_F(Controls, ComboBoxItemsSelectionDataAndSearch) {
  const Handle combo = control("ComboBox", CBS_DROPDOWNLIST, 503);
  EXPECT_EQ(ws.SENDMESSAGE(combo, CB_ADDSTRING, 0, Param::text("POP3")), 0);
  EXPECT_EQ(ws.SENDMESSAGE(combo, CB_ADDSTRING, 0, Param::text("IMAP")), 1);
  EXPECT_EQ(ws.SENDMESSAGE(combo, CB_INSERTSTRING, 0, Param::text("Ninguno")), 0);
  EXPECT_EQ(ws.SENDMESSAGE(combo, CB_INSERTSTRING, 9, Param::text("x")), CB_ERR);
  EXPECT_EQ(ws.SENDMESSAGE(combo, CB_GETCOUNT), 3);
  ws.SENDMESSAGE(combo, CB_SETITEMDATA, 2, 77);
  EXPECT_EQ(ws.SENDMESSAGE(combo, CB_GETITEMDATA, 2), 77);
  EXPECT_EQ(ws.SENDMESSAGE(combo, CB_GETITEMDATA, 3), CB_ERR);
  EXPECT_EQ(ws.SENDMESSAGE(combo, CB_GETCURSEL), -1);
  EXPECT_EQ(ws.SENDMESSAGE(combo, CB_SETCURSEL, 2), 2);
  EXPECT_EQ(ws.GETWINDOWTEXT(combo), "IMAP");
  auto text = std::make_shared<std::string>();
  EXPECT_EQ(ws.SENDMESSAGE(combo, CB_GETLBTEXT, 1, Param::by_reference(text)), 4);
  EXPECT_EQ(*text, "POP3");
  EXPECT_EQ(ws.SENDMESSAGE(combo, CB_FINDSTRING, -1, Param::text("po")), 1);
  EXPECT_EQ(ws.SENDMESSAGE(combo, CB_FINDSTRING, 1, Param::text("po")), 1);  // Wraps round.
  EXPECT_EQ(ws.SENDMESSAGE(combo, CB_FINDSTRINGEXACT, -1, Param::text("imap")), 2);
  EXPECT_EQ(ws.SENDMESSAGE(combo, CB_FINDSTRINGEXACT, -1, Param::text("ima")), CB_ERR);
  EXPECT_EQ(ws.SENDMESSAGE(combo, CB_DELETESTRING, 0), 2);
  EXPECT_EQ(ws.SENDMESSAGE(combo, CB_GETCURSEL), 1);  // The selection follows its item.
  EXPECT_EQ(ws.SENDMESSAGE(combo, CB_SETCURSEL, 5), CB_ERR);
  EXPECT_EQ(ws.SENDMESSAGE(combo, CB_GETCURSEL), -1);
  ws.SENDMESSAGE(combo, CB_RESETCONTENT);
  EXPECT_EQ(ws.SENDMESSAGE(combo, CB_GETCOUNT), 0);
  EXPECT_TRUE(commands.empty());
}

TEST_F(Controls, SortedAndMultipleSelectionListBoxes) {
  const Handle sorted = control("ListBox", LBS_SORT, 600);
  for (const char* item : {"delta", "Alfa", "charlie", "bravo"}) ws.SENDMESSAGE(sorted, LB_ADDSTRING, 0, Param::text(item));
  EXPECT_EQ(ws.describe(sorted)->items, (std::vector<std::string>{"Alfa", "bravo", "charlie", "delta"}));
  EXPECT_EQ(ws.SENDMESSAGE(sorted, LB_SELECTSTRING, -1, Param::text("CH")), 2);
  EXPECT_EQ(ws.SENDMESSAGE(sorted, LB_GETSEL, 2), 1);
  EXPECT_EQ(ws.SENDMESSAGE(sorted, LB_GETSELCOUNT), LB_ERR);

  const Handle multiple = control("ListBox", LBS_MULTIPLESEL, 601);
  for (const char* item : {"a", "b", "c"}) ws.SENDMESSAGE(multiple, LB_ADDSTRING, 0, Param::text(item));
  ws.SENDMESSAGE(multiple, LB_SETSEL, 1, 0);
  ws.SENDMESSAGE(multiple, LB_SETSEL, 1, 2);
  EXPECT_EQ(ws.SENDMESSAGE(multiple, LB_GETSELCOUNT), 2);
  ws.SENDMESSAGE(multiple, LB_SETSEL, 0, -1);
  EXPECT_EQ(ws.SENDMESSAGE(multiple, LB_GETSELCOUNT), 0);
}

TEST_F(Controls, PersonInputChangesControlsAndPostsTheirNotifications) {
  PersonInput person(ws);
  const Handle box = control("Button", BS_AUTOCHECKBOX, 1001);
  const Handle edit = control("Edit", 0, 501);
  const Handle combo = control("ComboBox", CBS_DROPDOWNLIST, 503);
  ws.SENDMESSAGE(combo, CB_ADDSTRING, 0, Param::text("POP3"));
  ws.SENDMESSAGE(combo, CB_ADDSTRING, 0, Param::text("IMAP"));
  person.click(box);
  person.edit_text(edit, "escrito");
  person.choose_item(combo, 1);
  person.choose_command(frame, 2984);
  EXPECT_TRUE(commands.empty());  // Nothing runs inside the back end.
  pump();
  EXPECT_EQ(commands, (std::vector<Command>{{1001, BN_CLICKED, box},
                                            {501, EN_CHANGE, edit},
                                            {503, CBN_SELCHANGE, combo},
                                            {2984, 0, 0}}));
  EXPECT_EQ(ws.SENDMESSAGE(box, BM_GETCHECK), BST_CHECKED);
  EXPECT_EQ(ws.GETWINDOWTEXT(edit), "escrito");
  EXPECT_EQ(ws.SENDMESSAGE(edit, EM_GETMODIFY), 1);
  EXPECT_EQ(ws.GETWINDOWTEXT(combo), "IMAP");
}

TEST_F(Controls, ScrollBarsKeepTheirPositionInRange) {
  const Handle bar = control("ScrollBar", SBS_VERT, 700);
  ws.SENDMESSAGE(bar, SBM_SETRANGE, 0, 50);
  EXPECT_EQ(ws.SENDMESSAGE(bar, SBM_SETPOS, 80), 0);
  EXPECT_EQ(ws.SENDMESSAGE(bar, SBM_GETPOS), 50);
  EXPECT_EQ(ws.SETSCROLLPOS(frame, SB_VERT, 3), 0);
  EXPECT_EQ(ws.GETSCROLLPOS(frame, SB_VERT), 3);
}

TEST_F(Controls, TreeViewForTheAccessLog) {
  const Handle tree = control("SysTreeView32", 0, 800);
  const std::int64_t year = ws.tree_insert(tree, 0, "2026");
  const std::int64_t other_year = ws.tree_insert(tree, 0, "2025");
  const std::int64_t march = ws.tree_insert(tree, year, "03");
  const std::int64_t day = ws.tree_insert(march, 0, "x");
  EXPECT_EQ(day, 0);  // Not a tree view.
  ws.tree_insert(tree, march, "01/03/26 MAILSERVER");
  ws.tree_insert(tree, year, "04");
  EXPECT_EQ(ws.tree_insert(tree, 999, "orphan"), 0);
  EXPECT_EQ(ws.describe(tree)->items,
            (std::vector<std::string>{"2026", "03", "01/03/26 MAILSERVER", "04", "2025"}));
  EXPECT_EQ(ws.SENDMESSAGE(tree, TVM_GETNEXTITEM, TVGN_CHILD, year), march);
  EXPECT_EQ(ws.SENDMESSAGE(tree, TVM_GETNEXTITEM, TVGN_NEXT, year), other_year);
  EXPECT_EQ(ws.SENDMESSAGE(tree, TVM_SELECTITEM, TVGN_CARET, march), 1);
  ws.SENDMESSAGE(tree, TVM_DELETEITEM, 0, year);
  EXPECT_EQ(ws.SENDMESSAGE(tree, TVM_GETCOUNT), 1);
  EXPECT_EQ(ws.SENDMESSAGE(tree, TVM_GETNEXTITEM, TVGN_CARET, 0), 0);  // The selection went with it.
}

}  // namespace
}  // namespace ui::platform
