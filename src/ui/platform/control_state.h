#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace ui::platform {

// The state each control class keeps beside the window's own (text, style, rectangle).

struct ButtonState {
  std::int64_t check = 0;  // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
  bool pushed = false;
};

struct EditState {
  int selection_start = 0;  // Character positions; start <= end.
  int selection_end = 0;
  bool modified = false;
  int limit = 0;  // Most characters the field takes; 0 = no limit.
  char password_char = 0;
  std::string undo_text;
  bool can_undo = false;
};

struct ListItem {
  std::string text;
  std::int64_t data = 0;
  bool selected = false;  // Multiple-selection list boxes only.
};

// Combo boxes and list boxes.
struct ListState {
  std::vector<ListItem> items;
  int current = -1;  // 0-based; -1 = none.
  int top = 0;
};

struct TreeItem {
  std::int64_t item = 0;    // Item handle, never 0.
  std::int64_t parent = 0;  // 0 = a root item.
  std::string text;
  std::int64_t data = 0;
  bool expanded = false;
};

// Tree views: items in display order of their siblings (children follow insertion order).
struct TreeState {
  std::vector<TreeItem> items;
  std::int64_t selected = 0;
  std::int64_t next_item = 1;
};

using ControlState = std::variant<std::monostate, ButtonState, EditState, ListState, TreeState>;

struct ScrollInfo {
  int minimum = 0;
  int maximum = 100;
  int position = 0;
};

}  // namespace ui::platform
