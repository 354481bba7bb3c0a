// Build-time tool, compiled for the build machine: writes the page as one file, whose first
// paint is the whole window with its start values, before any script has run. The controls come
// from the layout table and their contents from the core (the results by Recalculate over the
// start inputs), so the page cannot drift from the desktop's window. The style sheet, the script
// and the module travel inside it, so that a first visit costs one round trip.
//
//   fuelix_web_pagegen TEMPLATE.html STYLE.css SCRIPT.js MODULE.wasm OUTPUT.html
//
// The template's lines @STYLE@, @WINDOW@, @SCRIPT@ and @MODULE@ are replaced.
#include "model/blend.h"
#include "model/number_text.h"
#include "web/commands.h"
#include "window/controls.h"
#include "window/layout.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace fuelix;

std::string read(const char *path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << "fuelix_web_pagegen: cannot read " << path << '\n';
        std::exit(1);
    }
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string escaped(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

int px(int twips)
{
    return (twips * 2 + 15) / 30; // to the nearest pixel at 96 dots per inch
}

template <class Names> std::string joined(const Names &names)
{
    std::string out;
    for (const std::string_view name : names)
        out += (out.empty() ? "" : " ") + std::string(name);
    return out;
}

// The start contents, the results as the core computes them from the start inputs.
std::map<std::string_view, std::string> startContents()
{
    DisplayState s{std::string(control("TankCapacityTxt").content),
                   std::string(control("TankOctaneRatingTxt").content),
                   std::string(control("PumpOctaneRatingTxt").content), control("TankSld").value,
                   control("PumpSld").value};
    Recalculate(s);
    std::map<std::string_view, std::string> contents;
    for (const Control &c : Layout)
        contents[c.name] = c.content;
    contents["TankValueLbl"] = s.TankValueLbl;
    contents["PumpFullLbl"] = s.PumpFullLbl;
    contents["PumpValueLbl"] = s.PumpValueLbl;
    contents["FinalOctaneLbl"] = s.FinalOctaneLbl;
    return contents;
}

const char *const Alignments[] = {"left", "right", "center"}; // in the order of Alignment

// One control as an element, placed by the style sheet from --left, --top, --width and
// --height where the window has room to be itself.
std::string element(const Control &c, int stacking, const std::string &content)
{
    int left = px(c.left), top = px(c.top), width = px(c.widthOrRight),
        height = px(c.heightOrBottom);
    const std::string spoken = escaped(spokenName(c.name));
    const bool result =
        std::find(ResultNames.begin(), ResultNames.end(), c.name) != ResultNames.end();
    std::string tag, attributes, inner;
    switch (c.kind) {
    case Kind::Label:
        tag = result ? "output" : "div";
        attributes = " class=\"label" + std::string(c.points > 0 ? " large" : "") + '"';
        if (result) // announced as what it is and its value; only the rating as it changes
            attributes += " aria-label=\"" + spoken + ' ' + escaped(content) + "\" data-spoken=\"" +
                          spoken + "\" aria-live=\"" +
                          (c.name == ResultNames.back() ? "polite" : "off") + '"';
        if (c.name == ResultNames.back()) // its first paint, as bench/web/run.py times it
            attributes += " elementtiming=\"final-rating\"";
        inner = escaped(content);
        break;
    case Kind::TextBox:
        tag = "input";
        attributes =
            " type=\"text\" inputmode=\"decimal\" autocomplete=\"off\" spellcheck=\"false\""
            " value=\"" +
            escaped(content) + '"';
        break;
    case Kind::Slider:
        tag = "input";
        attributes = " type=\"range\" min=\"" + std::to_string(Sliders.minimum) + "\" max=\"" +
                     std::to_string(Sliders.maximum) + "\" step=\"" +
                     std::to_string(Sliders.lineStep) + "\" value=\"" + std::to_string(c.value) +
                     '"';
        break;
    case Kind::PushButton: {
        tag = "button";
        attributes = " type=\"button\"";
        if (const auto amp = content.find('&');
            amp != std::string::npos && amp + 1 < content.size())
            attributes +=
                " accesskey=\"" + std::string(1, char(std::tolower(content[amp + 1]))) + '"';
        std::string caption = content;
        caption.erase(std::remove(caption.begin(), caption.end(), '&'), caption.end());
        inner = escaped(caption);
        break;
    }
    case Kind::PictureBox:
        tag = "button";
        attributes = " type=\"button\"";
        inner = "<img src=\"icon-32.png\" width=\"32\" height=\"32\" alt=\"\">";
        break;
    case Kind::Line: {
        // From its start up to, not including, its end point, as on the desktop; one pixel thick.
        const int x1 = left, y1 = top, x2 = width, y2 = height;
        left = std::min(x1, x2 + 1), top = std::min(y1, y2 + 1);
        width = std::max(1, std::abs(x2 - x1)), height = std::max(1, std::abs(y2 - y1));
        tag = "div";
        attributes = " class=\"line\" data-mode=\"" + std::to_string(c.value) + '"';
        break;
    }
    }
    if (!spoken.empty() && !result && inner != spoken)
        attributes += " aria-label=\"" + spoken + '"';
    std::string style = "--left:" + std::to_string(left) + "px;--top:" + std::to_string(top) +
                        "px;--width:" + std::to_string(width) +
                        "px;--height:" + std::to_string(height) +
                        "px;z-index:" + std::to_string(100 - stacking);
    if (c.kind == Kind::Label)
        style += ";text-align:" + std::string(Alignments[int(c.alignment)]);
    if (c.points > 0)
        style += ";font-size:" + NumberToText(c.points) + "pt";
    std::string out = '<' + tag + " id=\"" + std::string(c.name) + '"' + attributes + " style=\"" +
                      style + "\">" + inner;
    if (tag != "input")
        out += "</" + tag + '>';
    return out + '\n';
}

// The window: its controls in keyboard order (the lines, which take none, last), and what the
// script needs to know of them.
std::string window()
{
    const auto contents = startContents();
    std::vector<std::pair<int, std::string>> elements;
    for (std::size_t i = 0; i < Layout.size(); ++i) {
        const Control &c = Layout[i];
        elements.emplace_back(c.tabIndex < 0 ? 1000 : c.tabIndex,
                              element(c, int(i), contents.at(c.name)));
    }
    std::stable_sort(elements.begin(), elements.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    std::array<std::string_view, 8> lines;
    for (int i = 0; i < 8; ++i)
        lines[std::size_t(i)] = line(i).name;
    std::string out =
        "<div id=\"" + std::string(MainWindow.name) +
        "\" style=\"--width:" + std::to_string(px(MainWindow.clientWidth)) +
        "px;--height:" + std::to_string(px(MainWindow.clientHeight)) + "px\" data-boxes=\"" +
        joined(BoxNames) + "\" data-sliders=\"" + joined(SliderNames) + "\" data-results=\"" +
        joined(ResultNames) + "\" data-lines=\"" + joined(lines) + "\" data-commands=\"" +
        joined(Commands) + "\" data-page-step=\"" + std::to_string(Sliders.pageStep) + "\">\n";
    for (const auto &[order, element] : elements)
        out += element;
    return out + "</div>";
}

// The module as the text of a script element the browser does not run: each byte one
// character (UTF-8 on the wire, which compresses almost as well as the bytes), except those the
// HTML parser would change or that could end the element, which are written as DEL and the
// byte plus 64.
std::string moduleText(const std::string &bytes)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    const auto put = [&](unsigned char c) {
        if (c < 0x80) {
            out += char(c);
        } else {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        }
    };
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        if (c == 0x00 || c == '\r' || c == '<' || c == 0x7F) {
            put(0x7F);
            put(static_cast<unsigned char>(c + 64));
        } else {
            put(c);
        }
    }
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 6) {
        std::cerr << "usage: fuelix_web_pagegen TEMPLATE STYLE SCRIPT MODULE OUTPUT\n";
        return 2;
    }
    const std::map<std::string, std::string> parts{{"@STYLE@", read(argv[2])},
                                                   {"@WINDOW@", window()},
                                                   {"@SCRIPT@", read(argv[3])},
                                                   {"@MODULE@", moduleText(read(argv[4]))}};
    std::istringstream in(read(argv[1]));
    std::ofstream out(argv[5], std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        const auto part = parts.find(line);
        out << (part == parts.end() ? line : part->second) << '\n';
    }
    return out ? 0 : 1;
}
