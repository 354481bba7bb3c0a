// The page's side of the window: Controls implemented by calls into the page's JavaScript
// (imports), and the handlers offered to it (exports). Plain C functions over numbers and UTF-8
// bytes in the module's memory; fuelix.js is the other half.
#include "model/number_text.h"
#include "web/commands.h"
#include "window/fuelixfrm.h"

#include <array>
#include <exception>
#include <string>

#define FUELIX_IMPORT(name) __attribute__((import_module("env"), import_name(#name)))
#define FUELIX_EXPORT(name) extern "C" __attribute__((export_name(#name)))

// What the page provides. Texts go in as (pointer, length); a text comes back by being written
// to (buffer, capacity), the call returning its whole length, so that a longer text is asked
// for again with room enough.
extern "C" {
FUELIX_IMPORT(text) int jsText(int box, char *buffer, int capacity);
FUELIX_IMPORT(setText) void jsSetText(int box, const char *text, int length);
FUELIX_IMPORT(caret) int jsCaret(int box);
FUELIX_IMPORT(setCaret) void jsSetCaret(int box, int caret);
FUELIX_IMPORT(value) int jsValue(int slider);
FUELIX_IMPORT(setValue) void jsSetValue(int slider, int value);
FUELIX_IMPORT(caption) int jsCaption(int label, char *buffer, int capacity);
FUELIX_IMPORT(setCaption) void jsSetCaption(int label, const char *text, int length);
FUELIX_IMPORT(alignment) int jsAlignment();
FUELIX_IMPORT(setAlignment) void jsSetAlignment(int alignment);
FUELIX_IMPORT(drawMode) int jsDrawMode(int line);
FUELIX_IMPORT(setDrawMode) void jsSetDrawMode(int line, int mode);
FUELIX_IMPORT(setFocus) void jsSetFocus(int box);
FUELIX_IMPORT(showMessage)
void jsShowMessage(const char *message, int length, const char *title, int titleLength);
FUELIX_IMPORT(quit) void jsQuit();
// Whether the text fits the result label in its font; and what the label is to show.
FUELIX_IMPORT(fits) int jsFits(int label, const char *text, int length);
FUELIX_IMPORT(show) void jsShow(int label, const char *text, int length);
FUELIX_IMPORT(report) void jsReport(const char *text, int length);
}

namespace fuelix {
namespace {

template <class Read> std::string readText(int index, Read read)
{
    std::string text(32, '\0');
    for (;;) {
        const int length = read(index, text.data(), static_cast<int>(text.size()));
        if (length <= static_cast<int>(text.size())) {
            text.resize(static_cast<std::size_t>(length));
            return text;
        }
        text.resize(static_cast<std::size_t>(length));
    }
}

int size(std::string_view text)
{
    return static_cast<int>(text.size());
}

class PageControls final : public Controls
{
public:
    std::string text(Box box) const override { return readText(int(box), jsText); }
    // The page writes the box and runs its Change handler before it returns.
    void setText(Box box, std::string_view text) override
    {
        jsSetText(int(box), text.data(), size(text));
    }
    int caret(Box box) const override { return jsCaret(int(box)); }
    void setCaret(Box box, int caret) override { jsSetCaret(int(box), caret); }
    int value(Slider slider) const override { return jsValue(int(slider)); }
    void setValue(Slider slider, int value) override { jsSetValue(int(slider), value); }
    std::string caption(Result label) const override { return readText(int(label), jsCaption); }
    void setCaption(Result label, std::string_view caption) override
    {
        jsSetCaption(int(label), caption.data(), size(caption));
    }
    Alignment pumpFullAlignment() const override { return Alignment(jsAlignment()); }
    void setPumpFullAlignment(Alignment alignment) override { jsSetAlignment(int(alignment)); }
    int drawMode(int line) const override { return jsDrawMode(line); }
    void setDrawMode(int line, int mode) override { jsSetDrawMode(line, mode); }
    void setFocus(Box box) override { jsSetFocus(int(box)); }
    // A page cannot wait for a dialog: showModal() returns at once. About does nothing after
    // showing its message, so nothing runs early.
    void showMessage(std::string_view message, std::string_view title) override
    {
        jsShowMessage(message.data(), size(message), title.data(), size(title));
    }
    void quit() override
    {
        ended = true;
        jsQuit();
    }

    bool ended = false;
};

PageControls page;
FuelixFrm frm(page);

// Runs a handler unless Quit has ended the program; nothing it throws (only memory can run out)
// may unwind into the page.
template <class Handler> void run(Handler handler)
{
    if (page.ended)
        return;
    try {
        handler();
    } catch (const std::exception &error) {
        const std::string_view what = error.what();
        jsReport(what.data(), size(what));
    }
}

} // namespace
} // namespace fuelix

using namespace fuelix;

FUELIX_EXPORT(fuelix_change) void change(int box)
{
    run([=] { frm.change(Box(box)); });
}
FUELIX_EXPORT(fuelix_finish) void finish(int box)
{
    run([=] { frm.finishEditing(Box(box)); });
}
FUELIX_EXPORT(fuelix_undo) void undo(int box)
{
    run([=] { frm.undo(Box(box)); });
}
FUELIX_EXPORT(fuelix_redo) void redo(int box)
{
    run([=] { frm.redo(Box(box)); });
}
// What the box's history holds: 1 if it can undo, plus 2 if it can redo.
FUELIX_EXPORT(fuelix_history) int history(int box)
{
    return (frm.canUndo(Box(box)) ? 1 : 0) | (frm.canRedo(Box(box)) ? 2 : 0);
}
FUELIX_EXPORT(fuelix_scroll) void scroll(int slider)
{
    run([=] { Slider(slider) == Slider::TankSld ? frm.TankSld_Scroll() : frm.PumpSld_Scroll(); });
}
// In the order of Commands.
FUELIX_EXPORT(fuelix_click) void click(int command)
{
    static constexpr void (FuelixFrm::*handlers[])() = {
        &FuelixFrm::ResetCmd_Click, &FuelixFrm::AboutCmd_Click, &FuelixFrm::QuitCmd_Click,
        &FuelixFrm::PicPct_Click};
    run([=] { (frm.*handlers[command])(); });
}
// How often the results have been computed: what the tests count a handler's work by.
FUELIX_EXPORT(fuelix_recalculations) long recalculations()
{
    return frm.recalculations();
}
// Shows the result label's caption as it fits the label now (measured by the page).
FUELIX_EXPORT(fuelix_fit) void fit(int label)
{
    run([=] {
        const std::string shown =
            FittedCaption(page.caption(Result(label)), [=](std::string_view text) {
                return jsFits(label, text.data(), size(text)) != 0;
            });
        jsShow(label, shown.data(), size(shown));
    });
}
