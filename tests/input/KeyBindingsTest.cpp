// The default bindings, the internal action names and the bindings' settings-file lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestClient.h"
#include "input/BindingMap.h"
#include "input/InternalActions.h"
#include "input/KeyNames.h"
#include "lang/SettingsWriter.h"

namespace zel {
namespace {

using test::TestClient;

std::string SettingsLines(const SpecialChars& chars, const BindingMap& map)
{
    SettingsWriter writer(chars);
    map.WriteSettings(writer);
    return writer.Text();
}

std::string SettingsLine(const SpecialChars& chars, KeyCode code, const KeyBinding& binding)
{
    SettingsWriter writer(chars);
    WriteBindingSetting(writer, code, binding);
    return writer.Text();
}

// clang-format off
TEST(KeyBindings, DefaultsAreTheDocumentedActions)
{
    const struct { const char* key; const char* action; const char* description; } expected[] = {
        {"RETURN", "EXEC", "Executes the content of the input window"},
        {"CONTROL+UP", "SCROLL_LINEUP", "Scrolls the output/buffer window one line up"},
        {"CONTROL+DOWN", "SCROLL_LINEDOWN", "Scrolls the output/buffer window one line down"},
        {"CONTROL+PAGEUP", "SCROLL_PAGEUP", "Scrolls the output/buffer window one page up"},
        {"CONTROL+PAGEDOWN", "SCROLL_PAGEDOWN", "Scrolls the output/buffer window one page down"},
        {"CONTROL+HOME", "SCROLL_LEFT", "Scrolls the output/buffer window to the top"},
        {"CONTROL+END", "SCROLL_RIGHT", "Scrolls the output/buffer window to the bottom"},
        {"CONTROL+LEFT", "SCROLL_TOP", "Scrolls the output/buffer window 8 columns to the left"},
        {"CONTROL+RIGHT", "SCROLL_BOTTOM", "Scrolls the output/buffer window 8 columns to the right"},
        {"SCROLLLOCK", "SCROLL_TOGGLE", "Toggles the buffer window"},
        {"ALT+DOWN", "SCROLL_SIZE_INC", "Increases the buffer window size"},
        {"ALT+UP", "SCROLL_SIZE_DEC", "Decreases the buffer window size"},
        {"UP", "HIST_LINEUP", "Moves the history cursor one line up"},
        {"DOWN", "HIST_LINEDOWN", "Moves the history cursor one line down"},
        {"PAGEUP", "HIST_PAGEUP", "Moves the history cursor one page up"},
        {"PAGEDOWN", "HIST_PAGEDOWN", "Moves the history cursor one page down"},
        {"ALT+INSERT", "COMPLETION_ADD", "Adds the word under the cursor to the completion list"},
        {"ALT+DELETE", "COMPLETION_DEL", "Removes the word under the cursor from the completion list"},
        {"TAB", "COMPLETION_NEXT", "Next completion"},
        {"SHIFT+TAB", "COMPLETION_PREV", "Previous completion"},
        {"CONTROL+X", "CLIP_CUT", ""}, {"SHIFT+DELETE", "CLIP_CUT", ""},
        {"CONTROL+C", "CLIP_COPY", ""}, {"CONTROL+INSERT", "CLIP_COPY", ""},
        {"CONTROL+V", "CLIP_PASTE", ""}, {"SHIFT+INSERT", "CLIP_PASTE", ""},
        {"DELETE", "DEL", ""},
        {"ESCAPE", "CLEAR", "Clears the input window"},
        {"CONTROL+A", "SELECT_ALL", "Selects all text in the input window"},
        {"CONTROL+Q", "SELECT_NONE", "Clears the current selection of the input window"},
        {"INSERT", "INSERT", ""},
        {"CONTROL+SPACE", "HARD_SPACE", "Inserts a hard space"},
        {"CONTROL+RETURN", "HARD_RETURN", "Inserts a hard newline"},
        {"ALT+1", "SETUP_ALIASES", "Edit current aliases"},
        {"ALT+2", "SETUP_BINDINGS", "Edit current key bindings"},
        {"ALT+3", "SETUP_COMPLETIONS", "Edit current tab-completions"},
        {"ALT+4", "SETUP_SYNTAXES", "Edit current syntaxes"},
        {"ALT+5", "SETUP_ACTIONS", "Edit current actions"},
        {"ALT+6", "SETUP_TIMERS", "Edit current timers"},
        {"ALT+7", "SETUP_VARIABLES", "Edit current variables"},
        {"ALT+8", "SETUP_SCRIPTS", "Edit current scripts"},
        {"ALT+SHIFT+1", "SETUP_NEW_ALIAS", "Add a new alias"},
        {"ALT+SHIFT+2", "SETUP_NEW_BINDING", "Add a new key binding"},
        {"ALT+SHIFT+3", "SETUP_NEW_COMPLETION", "Add a new tab-completion"},
        {"ALT+SHIFT+4", "SETUP_NEW_SYNTAX", "Add a new syntax"},
        {"ALT+SHIFT+5", "SETUP_NEW_ACTION", "Add a new action"},
        {"ALT+SHIFT+6", "SETUP_NEW_TIMER", "Add a new timer"},
        {"ALT+SHIFT+7", "SETUP_NEW_VARIABLE", "Add a new variable"},
        {"ALT+SHIFT+8", "SETUP_NEW_SCRIPT", "Add a new scripts"},
        {"ALT+F4", "QUIT", "Quits ZE"},
        {"ALT+RETURN", "FULLSCREEN", "Toggle fullscreen mode"},
        {"CONTROL+TAB", "FORCE_KEYCODE", "Forces the next key pressed to be showns as a key code"},
    };
    const BindingMap defaults = DefaultBindings();
    EXPECT_EQ(defaults.Entries().size(), std::size(expected));
    for (const auto& e : expected) {
        const KeyBinding* binding = defaults.Find(ParseKeyName(e.key));
        ASSERT_NE(binding, nullptr) << e.key;
        EXPECT_EQ(binding->kind, BindingKind::Action) << e.key;
        EXPECT_EQ(binding->command, e.action) << e.key;
        EXPECT_EQ(binding->action, FindAction(e.action)) << e.key;
        EXPECT_EQ(binding->description, e.description) << e.key;
    }
}

TEST(KeyBindings, ActionNames)
{
    const struct { int code; const char* name; } named[] = {
        {0, "NONE"}, {1, "EXEC"}, {2, "EXEC_EMPTY"}, {3, "EXEC_1"}, {12, "EXEC_10"},
        {13, "ESCAPE"}, {20, "SCROLL_LEFT"}, {23, "SCROLL_BOTTOM"}, {28, "SCROLL_SIZE_DEC"},
        {38, "HIST_ON"}, {44, "HIST_RUN"}, {51, "COMPLETION_PREV"}, {64, "OUTPUT_COPY"},
        {75, "HARD_TAB"}, {88, "SETUP_SETUP"}, {103, "SETUP_NEW_SCRIPT"}, {113, "FULLSCREEN"},
        {255, "FORCE_KEYCODE"},
    };
    for (const auto& n : named) EXPECT_EQ(ActionName(n.code), n.name) << n.code;
    for (int code : {-1, 14, 15, 29, 45, 52, 76, 89, 104, 114, 254, 256})
        EXPECT_EQ(ActionName(code), "") << code;

    int count = 0;
    for (int code = 1; code < 256; ++code) {
        const std::string name(ActionName(code));
        if (name.empty()) continue;
        ++count;
        std::string lower = name;
        for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(FindAction(name), code) << name;
        EXPECT_EQ(FindAction(lower), code) << name;
    }
    EXPECT_EQ(count, 75);
    for (const char* name : {"NONE", "none", "", "EXEC_11", "SCROLL", "EXEC "})
        EXPECT_EQ(FindAction(name), -1) << name;
}
// clang-format on

TEST(KeyBindings, SettingsLines)
{
    const SpecialChars chars;
    const BindingMap defaults = DefaultBindings();
    const std::string lines = SettingsLines(chars, defaults);
    EXPECT_TRUE(lines.starts_with(
        "|bind add action {TAB} {COMPLETION_NEXT} {Next completion}\n"
        "|bind add action {RETURN} {EXEC} {Executes the content of the input window}\n"))
        << lines;
    EXPECT_EQ(SettingsLine(chars, 0x74, {BindingKind::Exec, "say {a} $x \\ ;", 0, "$d{}"}),
              "|bind add exec {F5} {say \\{a\\} $$x \\\\ ;} {$$d\\{\\}}\n");
    // A field whose argument characters do not pair up is written between others.
    EXPECT_EQ(SettingsLine(chars, 0x74, {BindingKind::Exec, "say {a} $x \\ ;", 0, "$d}"}),
              "|option achars \\< \\>\n|bind add exec <F5> <say {a} $$x \\\\ ;> <$$d}>\n"
              "|option achars \\{ \\}\n");
    EXPECT_EQ(SettingsLine(chars, 0xBA, {BindingKind::Insert, "text", 0, ""}),
              "|bind add insert {[BA]} {text} {}\n");
    // An action binding stores its action's name, not the name as typed.
    EXPECT_EQ(SettingsLine(chars, 0x200041, {BindingKind::Action, "quit", 112, "q"}),
              "|bind add action {CONTROL+A} {QUIT} {q}\n");
    EXPECT_EQ(SettingsLine(chars, 0x41, {BindingKind(7), "lost", 0, ""}),
              "|bind add none {A} {} {}\n");
}

// Escaping never cuts: a field of 16,383 escaped characters is written whole.
TEST(KeyBindings, EscapedFieldsAreWrittenWhole)
{
    const SpecialChars chars;
    const std::string odd = "xx" + std::string(16381, '}');
    const std::string escaped = EscapeSettingsField(chars, odd);
    std::string pairs;
    for (int i = 0; i < 16381; ++i) pairs += "\\}";
    EXPECT_EQ(escaped, "xx" + pairs);
}

// Each kind, texts with every special character (groups balanced) and other argument
// characters: the written lines, run on a client whose bindings were all removed, give back
// the same bindings.
TEST(KeyBindings, SettingsLinesReadBackAsTheSameBindings)
{
    const std::string awkward = "say {a} (b) $x $$y \\ \\n ; | ! . <c>";
    const std::string unbalanced = "}{ )( >< \n\r";
    for (const char* achars : {"{}", "()", "<>"}) {
        TestClient writer;
        writer.Run(std::string("|option achars ") + achars);
        BindingMap& map = writer.client.Bindings();
        map.Set(ParseKeyName("F5"), {BindingKind::Exec, awkward, 0, awkward});
        map.Set(ParseKeyName("ctrl+shift+x"), {BindingKind::Insert, awkward, 0, ""});
        map.Set(ParseKeyName("ctrl+F6"), {BindingKind::Exec, unbalanced, 0, unbalanced + "{"});
        map.Set(0xBA, {BindingKind::Action, "scroll_left", 20, "top"});
        map.Set(ParseKeyName("apps+1"), {BindingKind::Action, "EXEC_3", 5, awkward});
        const std::string lines = SettingsLines(writer.client.Chars(), map);

        TestClient reader;
        reader.Run(std::string("|option achars ") + achars);
        const BindingMap defaults = DefaultBindings();
        for (const auto& [code, binding] : defaults.Entries())
            reader.Run("|bind delete " + KeyName(code));
        size_t start = 0;
        for (size_t end; (end = lines.find('\n', start)) != std::string::npos; start = end + 1)
            reader.Run(lines.substr(start, end - start));

        const auto& written = map.Entries();
        const auto& read = reader.client.Bindings().Entries();
        ASSERT_EQ(read.size(), written.size()) << lines;
        for (auto w = written.begin(), r = read.begin(); w != written.end(); ++w, ++r) {
            const std::string key = achars + KeyName(w->first);
            EXPECT_EQ(r->first, w->first) << key;
            EXPECT_EQ(r->second.kind, w->second.kind) << key;
            EXPECT_EQ(r->second.action, w->second.action) << key;
            EXPECT_EQ(ShownCommand(r->second), ShownCommand(w->second)) << key;
            EXPECT_EQ(r->second.description, w->second.description) << key;
        }
    }
}

}  // namespace
}  // namespace zel
