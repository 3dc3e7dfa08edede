#include "ui/platform/resource_script.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "ui/platform/rc_lexer.h"
#include "ui/platform/text_case.h"

namespace ui::platform {

namespace {

using data::Error;
using data::Result;

constexpr int kMaxIncludeDepth = 16;

// The class a dialog statement creates and the style it has unless the script says more.
struct ItemKind {
  std::string_view keyword;
  std::string_view class_name;
  Style style;
  bool has_text;
};

constexpr ItemKind kItemKinds[] = {
    {"PUSHBUTTON", "Button", BS_PUSHBUTTON | WS_TABSTOP, true},
    {"DEFPUSHBUTTON", "Button", BS_DEFPUSHBUTTON | WS_TABSTOP, true},
    {"LTEXT", "Static", SS_LEFT | WS_GROUP, true},
    {"RTEXT", "Static", SS_RIGHT | WS_GROUP, true},
    {"CTEXT", "Static", SS_CENTER | WS_GROUP, true},
    {"GROUPBOX", "Button", BS_GROUPBOX, true},
    {"CHECKBOX", "Button", BS_CHECKBOX | WS_TABSTOP, true},
    {"AUTOCHECKBOX", "Button", BS_AUTOCHECKBOX | WS_TABSTOP, true},
    {"RADIOBUTTON", "Button", BS_RADIOBUTTON, true},
    {"AUTORADIOBUTTON", "Button", BS_AUTORADIOBUTTON, true},
    {"STATE3", "Button", BS_3STATE | WS_TABSTOP, true},
    {"AUTO3STATE", "Button", BS_AUTO3STATE | WS_TABSTOP, true},
    {"EDITTEXT", "Edit", WS_BORDER | WS_TABSTOP, false},
    {"COMBOBOX", "ComboBox", CBS_SIMPLE | WS_TABSTOP, false},
    {"LISTBOX", "ListBox", LBS_NOTIFY | WS_BORDER, false},
    {"SCROLLBAR", "ScrollBar", SBS_HORZ, false},
};

// Class names a CONTROL statement may give unquoted, and the spelling kept for them.
constexpr std::string_view kClassNames[] = {"Button", "Edit", "Static", "ComboBox", "ListBox", "ScrollBar",
                                            "SysTreeView32"};

bool is_memory_option(const RcToken& token) {
  for (std::string_view option : {"DISCARDABLE", "MOVEABLE", "PURE", "PRELOAD", "LOADONCALL", "FIXED", "IMPURE"}) {
    if (token.is_name(option)) return true;
  }
  return false;
}

bool is_system_header(std::string_view name) {
  for (std::string_view header : {"windows.h", "winres.h", "afxres.h", "commctrl.h", "winuser.h", "richedit.h"}) {
    if (equals_ignoring_case(name, header)) return true;
  }
  return false;
}

}  // namespace

class ResourceScriptParser {
 public:
  ResourceScriptParser(ResourceScript& script, std::map<std::string, std::int64_t>& defines, int depth)
      : m_script(script), m_defines(defines), m_depth(depth) {}

  Result<void> parse_file(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return Error{2, file.string() + ": cannot open the resource script"};
    std::ostringstream text;
    text << in.rdbuf();
    return parse_text(text.str(), file.string());
  }

  Result<void> parse_text(std::string_view text, std::string_view file_name) {
    m_file = std::string(file_name);
    auto tokens = tokenize_resource_script(text, file_name);
    if (!tokens) return tokens.error();
    m_tokens = std::move(*tokens);
    m_at = 0;
    while (peek().kind != RcToken::Kind::End) {
      if (auto done = statement(); !done) return done.error();
    }
    return {};
  }

 private:
  const RcToken& peek(std::size_t ahead = 0) const {
    return m_tokens[std::min(m_at + ahead, m_tokens.size() - 1)];
  }
  const RcToken& next() {
    const RcToken& token = peek();
    if (m_at < m_tokens.size() - 1) ++m_at;
    return token;
  }
  bool accept(std::string_view punct) {
    if (!peek().is(RcToken::Kind::Punct, punct)) return false;
    next();
    return true;
  }
  Error error(const RcToken& at, const std::string& message) const {
    return Error{1, m_file + ":" + std::to_string(at.line) + ": " + message};
  }
  bool at_block_start() const { return peek().is_name("BEGIN") || peek().is(RcToken::Kind::Punct, "{"); }
  bool at_block_end() const { return peek().is_name("END") || peek().is(RcToken::Kind::Punct, "}"); }

  Result<void> statement() {
    const RcToken& first = peek();
    if (first.kind == RcToken::Kind::Directive) return directive(next());
    if (first.is_name("LANGUAGE")) return skip_line();
    if (first.is_name("STRINGTABLE")) {
      next();
      return string_table();
    }
    if (first.kind != RcToken::Kind::Name && first.kind != RcToken::Kind::Number && first.kind != RcToken::Kind::Text) {
      return error(first, "expected a resource name, found '" + first.text + "'");
    }
    const RcToken name = next();
    const RcToken& type = peek();
    if (type.kind != RcToken::Kind::Name) return error(type, "expected a resource type after '" + name.text + "'");
    if (type.is_name("DIALOGEX") || type.is_name("DIALOG")) {
      next();
      return dialog(resource_name(name));
    }
    return skip_resource();
  }

  std::string resource_name(const RcToken& token) const {
    if (token.kind == RcToken::Kind::Number) return std::to_string(token.number);
    if (token.kind == RcToken::Kind::Name) {
      if (const auto defined = m_defines.find(token.text); defined != m_defines.end()) {
        return std::to_string(defined->second);
      }
    }
    return to_upper(token.text);
  }

  // A resource of a kind this reader does not keep: the rest of its line, then its block.
  Result<void> skip_resource() {
    const int line = next().line;
    while (peek().kind != RcToken::Kind::End && peek().line == line && !at_block_start()) next();
    if (!at_block_start()) return {};
    const RcToken& open = next();
    for (int depth = 1; depth > 0;) {
      if (peek().kind == RcToken::Kind::End) return error(open, "block without its END");
      if (at_block_start()) ++depth;
      if (at_block_end()) --depth;
      next();
    }
    return {};
  }

  Result<void> skip_line() {
    const int line = next().line;
    while (peek().kind != RcToken::Kind::End && peek().line == line) next();
    return {};
  }

  Result<void> directive(const RcToken& token) {
    std::string_view rest(token.text);
    rest.remove_prefix(1);
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
    const std::size_t word_end = rest.find_first_of(" \t");
    const std::string_view word = rest.substr(0, word_end);
    const std::string_view argument = word_end == std::string_view::npos ? std::string_view() : rest.substr(word_end);
    if (word == "define") return define(token, argument);
    if (word == "include") return include(token, argument);
    // Conditionals, #undef and #pragma change nothing this reader keeps.
    return {};
  }

  Result<void> define(const RcToken& at, std::string_view argument) {
    auto tokens = tokenize_resource_script(argument, m_file);
    if (!tokens || tokens->size() < 2 || tokens->front().kind != RcToken::Kind::Name) {
      return error(at, "malformed #define");
    }
    if (tokens->size() == 2) {
      m_defines[tokens->front().text] = 1;  // A bare switch.
      return {};
    }
    std::vector<RcToken> saved = std::move(m_tokens);
    const std::size_t saved_at = m_at;
    const std::string name = tokens->front().text;
    m_tokens.assign(tokens->begin() + 1, tokens->end());
    for (RcToken& token : m_tokens) token.line = at.line;
    m_at = 0;
    auto value = number();
    m_tokens = std::move(saved);
    m_at = saved_at;
    if (!value) return value.error();
    m_defines[name] = *value;
    return {};
  }

  Result<void> include(const RcToken& at, std::string_view argument) {
    const std::size_t open = argument.find_first_of("\"<");
    if (open == std::string_view::npos) return error(at, "malformed #include");
    if (argument[open] == '<') return {};  // System headers hold nothing of the program's.
    const std::size_t close = argument.find('"', open + 1);
    if (close == std::string_view::npos) return error(at, "malformed #include");
    const std::string name(argument.substr(open + 1, close - open - 1));
    const std::filesystem::path path = std::filesystem::path(m_file).parent_path() / name;
    if (!std::filesystem::exists(path)) {
      if (is_system_header(name)) return {};
      return error(at, "cannot open included file \"" + name + "\"");
    }
    if (m_depth >= kMaxIncludeDepth) return error(at, "#include nested too deep");
    ResourceScriptParser nested(m_script, m_defines, m_depth + 1);
    return nested.parse_file(path);
  }

  Result<std::int64_t> atom() {
    const RcToken& token = next();
    if (token.is(RcToken::Kind::Punct, "-")) {
      auto value = atom();
      if (!value) return value.error();
      return -*value;
    }
    if (token.is(RcToken::Kind::Punct, "~") || token.is_name("NOT")) {
      auto value = atom();
      if (!value) return value.error();
      return ~*value;
    }
    if (token.is(RcToken::Kind::Punct, "(")) {
      auto value = number();
      if (!value) return value.error();
      if (!accept(")")) return error(peek(), "expected ')'");
      return value;
    }
    if (token.kind == RcToken::Kind::Number) return token.number;
    if (token.kind == RcToken::Kind::Name) {
      if (const auto defined = m_defines.find(token.text); defined != m_defines.end()) return defined->second;
      if (const auto known = predefined_value(token.text)) return *known;
      return error(token, "unknown identifier '" + token.text + "'");
    }
    return error(token, "expected a number, found '" + token.text + "'");
  }

  // A number: terms joined by |, + or -.
  Result<std::int64_t> number() {
    auto value = atom();
    if (!value) return value;
    for (;;) {
      const bool is_or = peek().is(RcToken::Kind::Punct, "|");
      const bool is_plus = peek().is(RcToken::Kind::Punct, "+");
      const bool is_minus = peek().is(RcToken::Kind::Punct, "-");
      if (!is_or && !is_plus && !is_minus) return value;
      next();
      auto term = atom();
      if (!term) return term;
      *value = is_or ? (*value | *term) : is_plus ? *value + *term : *value - *term;
    }
  }

  // A style: terms joined by |; "NOT term" clears the term's bits from what is there.
  Result<Style> style(Style base) {
    Style value = base;
    do {
      const bool is_not = peek().is_name("NOT");
      if (is_not) next();
      auto term = atom();
      if (!term) return term.error();
      const auto bits = static_cast<Style>(*term);
      value = is_not ? value & ~bits : value | bits;
    } while (accept("|"));
    return value;
  }

  Result<int> comma_number() {
    if (!accept(",")) return error(peek(), "expected ','");
    auto value = number();
    if (!value) return value.error();
    return static_cast<int>(*value);
  }

  Result<void> rectangle(int& x, int& y, int& width, int& height, bool leading_comma) {
    int* fields[] = {&x, &y, &width, &height};
    for (std::size_t i = 0; i < 4; ++i) {
      if ((i > 0 || leading_comma) && !accept(",")) return error(peek(), "expected ',' in the rectangle");
      auto value = number();
      if (!value) return value.error();
      *fields[i] = static_cast<int>(*value);
    }
    return {};
  }

  Result<void> dialog(std::string name) {
    const RcToken& header = peek();
    DialogTemplate result;
    result.name = std::move(name);
    while (is_memory_option(peek())) next();
    if (auto done = rectangle(result.x, result.y, result.width, result.height, false); !done) return done;
    if (accept(",")) {
      auto help = number();
      if (!help) return help.error();
      result.help_id = static_cast<int>(*help);
    }
    bool has_style = false;
    bool has_caption = false;
    bool has_font = false;
    while (!at_block_start()) {
      const RcToken& option = next();
      if (option.kind == RcToken::Kind::End) return error(header, "dialog '" + result.name + "' without BEGIN");
      if (option.is_name("STYLE")) {
        auto value = style(0);
        if (!value) return value.error();
        result.style = *value;
        has_style = true;
      } else if (option.is_name("EXSTYLE")) {
        auto value = style(0);
        if (!value) return value.error();
        result.ex_style = *value;
      } else if (option.is_name("CAPTION")) {
        if (peek().kind != RcToken::Kind::Text) return error(peek(), "expected the caption text");
        result.caption = next().text;
        has_caption = true;
      } else if (option.is_name("FONT")) {
        auto size = number();
        if (!size) return size.error();
        if (!accept(",") || peek().kind != RcToken::Kind::Text) return error(peek(), "expected the font face");
        result.font.point_size = static_cast<int>(*size);
        result.font.face = next().text;
        if (accept(",")) {
          auto weight = number();
          if (!weight) return weight.error();
          result.font.weight = static_cast<int>(*weight);
          auto italic = comma_number();
          if (!italic) return italic.error();
          result.font.italic = *italic != 0;
          if (accept(",")) {
            if (auto charset = number(); !charset) return charset.error();
          }
        }
        has_font = true;
      } else if (option.is_name("CLASS") || option.is_name("MENU")) {
        const RcToken& value = next();
        if (value.kind == RcToken::Kind::End) return error(option, "expected a name");
        (option.is_name("CLASS") ? result.class_name : result.menu) = value.text;
      } else if (option.is_name("LANGUAGE")) {
        if (auto a = number(); !a) return a.error();
        if (auto b = comma_number(); !b) return b.error();
      } else if (option.is_name("CHARACTERISTICS") || option.is_name("VERSION")) {
        if (auto value = number(); !value) return value.error();
      } else {
        return error(option, "unknown dialog option '" + option.text + "'");
      }
    }
    if (!has_style) result.style = WS_POPUP | WS_BORDER | WS_SYSMENU;
    if (has_caption) result.style |= WS_CAPTION;
    if (has_font) result.style |= DS_SETFONT;
    next();  // BEGIN
    while (!at_block_end()) {
      if (peek().kind == RcToken::Kind::End) return error(header, "dialog '" + result.name + "' without END");
      auto item = dialog_item();
      if (!item) return item.error();
      result.items.push_back(std::move(*item));
    }
    next();  // END
    m_script.m_dialogs[result.name] = std::move(result);
    return {};
  }

  Result<DialogItem> dialog_item() {
    const RcToken& keyword = next();
    if (keyword.is_name("CONTROL")) return control_item();
    const ItemKind* kind = nullptr;
    for (const ItemKind& candidate : kItemKinds) {
      if (keyword.is_name(candidate.keyword)) kind = &candidate;
    }
    if (!kind) return error(keyword, "unknown dialog control '" + keyword.text + "'");
    DialogItem item;
    item.class_name = std::string(kind->class_name);
    if (kind->has_text) {
      auto text = item_text();
      if (!text) return text.error();
      item.text = std::move(*text);
      if (!accept(",")) return error(peek(), "expected ',' after the text of " + keyword.text);
    }
    auto id = number();
    if (!id) return id.error();
    item.id = static_cast<int>(*id);
    if (auto done = rectangle(item.x, item.y, item.width, item.height, true); !done) return done.error();
    item.style = kind->style | WS_CHILD | WS_VISIBLE;
    if (auto done = item_tail(item); !done) return done.error();
    return item;
  }

  Result<DialogItem> control_item() {
    DialogItem item;
    auto text = item_text();
    if (!text) return text.error();
    item.text = std::move(*text);
    auto id = comma_number();
    if (!id) return id.error();
    item.id = *id;
    if (!accept(",")) return error(peek(), "expected ',' before the control class");
    const RcToken& class_token = next();
    if (class_token.kind != RcToken::Kind::Text && class_token.kind != RcToken::Kind::Name) {
      return error(class_token, "expected the control class");
    }
    item.class_name = class_token.text;
    for (std::string_view known : kClassNames) {
      if (equals_ignoring_case(known, class_token.text)) item.class_name = std::string(known);
    }
    if (!accept(",")) return error(peek(), "expected ',' before the control style");
    auto value = style(WS_CHILD | WS_VISIBLE);
    if (!value) return value.error();
    item.style = *value;
    if (auto done = rectangle(item.x, item.y, item.width, item.height, true); !done) return done.error();
    if (accept(",")) {
      auto ex_style = style(0);
      if (!ex_style) return ex_style.error();
      item.ex_style = *ex_style;
      if (accept(",")) {
        auto help = number();
        if (!help) return help.error();
        item.help_id = static_cast<int>(*help);
      }
    }
    return item;
  }

  // The optional style, extended style and help identifier after a control's rectangle.
  Result<void> item_tail(DialogItem& item) {
    if (!accept(",")) return {};
    auto value = style(item.style);
    if (!value) return value.error();
    item.style = *value;
    if (!accept(",")) return {};
    auto ex_style = style(0);
    if (!ex_style) return ex_style.error();
    item.ex_style = *ex_style;
    if (!accept(",")) return {};
    auto help = number();
    if (!help) return help.error();
    item.help_id = static_cast<int>(*help);
    return {};
  }

  Result<std::string> item_text() {
    const RcToken& token = peek();
    if (token.kind == RcToken::Kind::Text) return next().text;
    if (token.kind == RcToken::Kind::Number || token.kind == RcToken::Kind::Name) return next().text;
    return error(token, "expected the control text");
  }

  Result<void> string_table() {
    const RcToken& header = peek();
    while (!at_block_start()) {
      const RcToken& option = next();
      if (option.kind == RcToken::Kind::End) return error(header, "STRINGTABLE without BEGIN");
      if (option.is_name("LANGUAGE")) {
        if (auto a = number(); !a) return a.error();
        if (auto b = comma_number(); !b) return b.error();
      } else if (option.is_name("CHARACTERISTICS") || option.is_name("VERSION")) {
        if (auto value = number(); !value) return value.error();
      } else if (!is_memory_option(option)) {
        return error(option, "unknown STRINGTABLE option '" + option.text + "'");
      }
    }
    next();
    while (!at_block_end()) {
      if (peek().kind == RcToken::Kind::End) return error(header, "STRINGTABLE without END");
      auto id = number();
      if (!id) return id.error();
      accept(",");
      if (peek().kind != RcToken::Kind::Text) return error(peek(), "expected the text of string " + std::to_string(*id));
      m_script.m_strings[static_cast<int>(*id)] = next().text;
    }
    next();
    return {};
  }

  ResourceScript& m_script;
  std::map<std::string, std::int64_t>& m_defines;
  int m_depth;
  std::string m_file;
  std::vector<RcToken> m_tokens;
  std::size_t m_at = 0;
};

Result<ResourceScript> ResourceScript::load(const std::filesystem::path& file) {
  ResourceScript script;
  std::map<std::string, std::int64_t> defines;
  ResourceScriptParser parser(script, defines, 0);
  if (auto done = parser.parse_file(file); !done) return done.error();
  return script;
}

Result<ResourceScript> ResourceScript::parse(std::string_view text, std::string_view file_name) {
  ResourceScript script;
  std::map<std::string, std::int64_t> defines;
  ResourceScriptParser parser(script, defines, 0);
  if (auto done = parser.parse_text(text, file_name); !done) return done.error();
  return script;
}

const DialogTemplate* ResourceScript::dialog(std::string_view name) const {
  const auto found = m_dialogs.find(to_upper(name));
  return found == m_dialogs.end() ? nullptr : &found->second;
}

const std::string* ResourceScript::string(int number) const {
  const auto found = m_strings.find(number);
  return found == m_strings.end() ? nullptr : &found->second;
}

void ResourceScript::merge(const ResourceScript& other) {
  for (const auto& [name, dialog] : other.m_dialogs) m_dialogs[name] = dialog;
  for (const auto& [number, text] : other.m_strings) m_strings[number] = text;
}

}  // namespace ui::platform
