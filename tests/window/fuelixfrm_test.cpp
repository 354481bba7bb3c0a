// The window's behaviour against a fake front end that keeps the notification model to the
// letter: what no user can reach through a front end (the bevel's Ln1 rule), the layout table,
// and a long random soak of every handler. What a user does and sees is in the scenario table
// that every front end plays (tests/scenarios/scenarios.tsv).
#include "model/number_text.h"
#include "window/fuelixfrm.h"
#include "window/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

using namespace fuelix;

namespace {

using Modes = std::array<int, 8>; // DrawMode of Ln1 to Ln8
constexpr Modes Raised{16, 16, 13, 13, 16, 16, 13, 13}, Sunken{13, 13, 16, 16, 13, 13, 16, 16};

std::size_t at(auto e)
{
    return static_cast<std::size_t>(e);
}

// A window whose controls are plain values, started from the layout table. Each box has an
// insertion point, kept at its distance from the end when the program assigns a text.
class FakeWindow : public Controls
{
public:
    FakeWindow()
    {
        for (std::size_t i = 0; i < 3; ++i)
            texts[i] = control(BoxNames[i]).content, carets[i] = texts[i].size();
        for (std::size_t i = 0; i < 2; ++i)
            values[i] = control(SliderNames[i]).value;
        for (std::size_t i = 0; i < 4; ++i)
            captions[i] = control(ResultNames[i]).content;
        for (int i = 0; i < 8; ++i)
            modes[at(i)] = line(i).value;
    }

    // The user's edit: replaces [from, to) with `typed`, the caret after it.
    void edit(Box box, std::size_t from, std::size_t to, std::string_view typed)
    {
        std::string &t = texts[at(box)];
        t.replace(from, to - from, typed);
        carets[at(box)] = from + typed.size();
        raise(box);
    }
    void type(Box box, std::string_view keys)
    {
        for (char key : keys) {
            const std::size_t caret = carets[at(box)];
            if (key == '\b')
                edit(box, caret - 1, caret, "");
            else
                edit(box, caret, caret, std::string(1, key));
        }
    }
    void paste(Box box, std::string_view text) { edit(box, 0, texts[at(box)].size(), text); }
    void scroll(Slider slider, int value)
    {
        values[at(slider)] = value;
        slider == Slider::TankSld ? frm.TankSld_Scroll() : frm.PumpSld_Scroll();
    }
    // What the window shows, as the model sees it.
    DisplayState state() const
    {
        return {texts[1],    texts[0],    texts[2],    values[0],   values[1],
                captions[0], captions[1], captions[2], captions[3], alignment};
    }

    std::string text(Box box) const override { return texts[at(box)]; }
    void setText(Box box, std::string_view text) override
    {
        EXPECT_NE(texts[at(box)], text) << "an assignment of the same text changes nothing";
        const std::size_t fromEnd = texts[at(box)].size() - carets[at(box)];
        texts[at(box)] = text;
        carets[at(box)] = text.size() - std::min(fromEnd, text.size());
        raise(box);
    }
    int caret(Box box) const override { return static_cast<int>(carets[at(box)]); }
    void setCaret(Box box, int caret) override
    {
        carets[at(box)] = static_cast<std::size_t>(caret);
    }
    int value(Slider slider) const override { return values[at(slider)]; }
    void setValue(Slider slider, int value) override { values[at(slider)] = value; }
    std::string caption(Result label) const override { return captions[at(label)]; }
    void setCaption(Result label, std::string_view caption) override
    {
        captions[at(label)] = caption;
    }
    Alignment pumpFullAlignment() const override { return alignment; }
    void setPumpFullAlignment(Alignment a) override { alignment = a; }
    int drawMode(int line) const override { return modes[at(line)]; }
    void setDrawMode(int line, int mode) override { modes[at(line)] = mode; }
    void setFocus(Box) override {}
    void showMessage(std::string_view, std::string_view) override {}
    void quit() override {}

    std::array<std::string, 3> texts;
    std::array<std::size_t, 3> carets;
    std::array<int, 2> values;
    std::array<std::string, 4> captions;
    Alignment alignment = Alignment::Left;
    Modes modes;
    int changes = 0, depth = 0, deepest = 0;
    FuelixFrm frm{*this};

private:
    void raise(Box box)
    {
        ++changes;
        deepest = std::max(deepest, ++depth);
        frm.change(box);
        --depth;
    }
};

const DisplayState StartState; // the design-time contents

} // namespace

TEST(Bevel, Ln1AloneDecidesAndResetAlwaysRaises)
{
    const std::pair<Modes, Modes> rows[] = {
        // before, after a click on the picture
        {Raised, Sunken},
        {Sunken, Raised},
        {{13, 16, 13, 13, 16, 16, 13, 13}, Raised}, // inside Reset: Ln1 alone dark
        {{16, 13, 16, 16, 13, 13, 16, 16}, Sunken}, // Ln1 alone white
        {{7, 16, 13, 13, 16, 16, 13, 13}, Sunken},  // anything but 13 counts as raised
    };
    for (const auto &[before, clicked] : rows)
        for (const bool reset : {false, true}) {
            FakeWindow w;
            w.modes = before;
            reset ? w.frm.ResetCmd_Click() : w.frm.PicPct_Click();
            EXPECT_EQ(w.modes, reset ? Raised : clicked);
            EXPECT_EQ(w.state(), StartState);
            EXPECT_EQ(w.changes + w.frm.recalculations(), reset ? 1 : 0);
        }
}

// One paste beyond the history's bound of characters: each later edit is still a step.
TEST(Undo, EditsAfterAHugePasteAreSteps)
{
    FakeWindow w;
    const std::string huge(4'000'001, '7');
    w.paste(Box::TankCapacityTxt, huge);
    for (const char *typed : {"5", "6"}) {
        w.type(Box::TankCapacityTxt, typed);
        const std::string before = w.texts[1].substr(0, w.texts[1].size() - 1);
        w.frm.undo(Box::TankCapacityTxt);
        EXPECT_EQ(w.texts[1], before);
        w.frm.redo(Box::TankCapacityTxt);
    }
}

TEST(Layout, NamesTabIndicesStackingAndPlaces)
{
    std::map<int, const Control *> byTabIndex; // every control but the lines
    std::set<std::string_view> names;
    bool belowLabels = false;
    for (const Control &c : Layout) {
        const bool line = c.kind == Kind::Line, label = c.kind == Kind::Label;
        EXPECT_TRUE(names.insert(c.name).second) << c.name;
        EXPECT_TRUE(line || byTabIndex.emplace(c.tabIndex, &c).second) << c.name;
        EXPECT_LE(line ? c.widthOrRight : c.left + c.widthOrRight, MainWindow.clientWidth);
        EXPECT_LE(line ? c.heightOrBottom : c.top + c.heightOrBottom, MainWindow.clientHeight);
        // Every input, button and the picture lies above all labels and lines.
        belowLabels = belowLabels || line || label;
        EXPECT_TRUE(line || label || !belowLabels) << c.name;
    }
}

// Random actions of every kind; after each, the invariants that hold in any state.
TEST(Soak, InvariantsHoldForAMillionRandomActions)
{
    const char *env = std::getenv("FUELIX_SOAK_ACTIONS");
    const long actions = env ? std::atol(env) : 1'000'000;
    std::mt19937_64 random(20261207);
    const std::vector<std::string> texts{"",  "91", "-", ".",     "0",     "16.4", "1e",  "E",
                                         "5", "-0", " ", "1e308", "9e307", "abc",  "0.0", "7"};
    FakeWindow w;
    for (long i = 0; i < actions; ++i) {
        const auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
        const Box box = static_cast<Box>(pick(3));
        const std::string &t = texts[pick(texts.size())];
        const int changes = w.changes;
        const long runs = w.frm.recalculations();
        w.deepest = 0;
        switch (pick(8)) {
        case 0:
            w.paste(box, t);
            break;
        case 1:
        case 2: { // a key, mostly at the end as people type, or Backspace
            const std::size_t size = w.texts[at(box)].size();
            const std::size_t caret = w.carets[at(box)] = random() % 2 ? size : pick(size + 1);
            w.type(box, random() % 4 == 0 && caret > 0
                            ? "\b"
                            : std::string(1, "0123456789.-+eE x"[pick(17)]));
            break;
        }
        case 3:
            w.scroll(static_cast<Slider>(pick(2)), static_cast<int>(pick(101)));
            break;
        case 4:
            w.frm.finishEditing(box);
            break;
        case 5:
            w.frm.PicPct_Click();
            break;
        case 6:
            random() % 2 ? w.frm.undo(box) : w.frm.redo(box);
            break;
        default:
            if (random() % 16 == 0)
                w.frm.ResetCmd_Click();
        }
        ASSERT_LE(w.deepest, 2) << i;
        ASSERT_LE(w.changes - changes, 4) << i; // Reset: three boxes
        ASSERT_LE(w.frm.recalculations() - runs, 4) << i;
        for (const std::string &text : w.texts)
            ASSERT_TRUE(!IsNumeric(text) || TypingForm(text) == text || TidyForm(text) == text)
                << i << ": " << text;
        ASSERT_TRUE(w.modes == Raised || w.modes == Sunken) << i;
        const DisplayState shown = w.state();
        DisplayState s = shown;
        Recalculate(s);
        ASSERT_EQ(s, shown) << i << ": the results lag behind the inputs";
    }
}
