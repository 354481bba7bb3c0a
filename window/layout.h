// The window's design as data: every control's name, kind, place and first content, the eight
// bevel lines and the sliders' settings. Front ends build their widgets from these tables.
#pragma once

#include "model/blend.h"

#include <array>
#include <string_view>

namespace fuelix {

// The layout unit: 1440 to the inch, 15 to a pixel at 96 dots per inch.
inline constexpr int TwipsPerInch = 1440;

struct Window
{
    std::string_view name, title;
    int clientWidth, clientHeight; // twips
};
inline constexpr Window MainWindow{"FuelixFrm", "Fuelix", 7590, 6615};

enum class Kind
{
    PictureBox,
    PushButton,
    Slider,
    TextBox,
    Label,
    Line
};

// One control. Lines run from (left, top) to (right, bottom) and carry their start DrawMode in
// `value`; sliders carry their start position there. A "&" in a caption marks the access key.
struct Control
{
    std::string_view name;
    Kind kind;
    int left, top, widthOrRight, heightOrBottom; // twips, relative to the client area
    std::string_view content;
    Alignment alignment = Alignment::Left;
    int tabIndex = -1; // -1: lines, which take no part in keyboard order
    double points = 0; // 0: the window's default font
    int value = 0;
};

// The 35 controls in stacking order, topmost first: a control covers those after it. Text boxes,
// buttons, sliders and the picture lie above every label and line.
inline constexpr std::array<Control, 35> Layout{{
    {"PicPct", Kind::PictureBox, 3548, 5760, 495, 495, "", Alignment::Left, 26},
    {"AboutCmd", Kind::PushButton, 5760, 5760, 255, 495, "?", Alignment::Centre, 6},
    {"ResetCmd", Kind::PushButton, 360, 5760, 1215, 495, "&Reset", Alignment::Centre, 5},
    {"TankSld", Kind::Slider, 480, 1440, 6615, 495, "", Alignment::Left, 2, 0, 50},
    {"PumpOctaneRatingTxt", Kind::TextBox, 1800, 3080, 600, 285, "100", Alignment::Left, 3},
    {"QuitCmd", Kind::PushButton, 6000, 5760, 1215, 495, "&Quit", Alignment::Centre, 7},
    {"PumpSld", Kind::Slider, 495, 3960, 6615, 495, "", Alignment::Left, 4, 0, 100},
    {"TankOctaneRatingTxt", Kind::TextBox, 1800, 560, 600, 285, "91", Alignment::Left, 0},
    {"TankCapacityTxt", Kind::TextBox, 6240, 560, 600, 285, "16.4", Alignment::Left, 1},
    {"FinalOctaneRatingLbl", Kind::Label, 2314, 5280, 2175, 375,
     "Final Octane Rating:", Alignment::Right, 25, 12},
    {"FinalOctaneLbl", Kind::Label, 4545, 5280, 975, 375, "95.5", Alignment::Left, 24, 13.5},
    {"PumpValueLbl", Kind::Label, 3765, 3600, 495, 255, "8.2", Alignment::Left, 23},
    {"PumpVolumeLbl", Kind::Label, 3045, 3600, 615, 255, "Volume:", Alignment::Right, 22},
    {"PumpFullLbl", Kind::Label, 6645, 4560, 495, 255, "8.2", Alignment::Left, 21},
    {"Pump0Lbl", Kind::Label, 480, 4560, 285, 255, "0", Alignment::Centre, 20},
    {"PumpOctaneRatingLbl", Kind::Label, 653, 3120, 1095, 255, "Octane Rating:", Alignment::Right,
     19},
    {"PumpLbl", Kind::Label, 540, 2760, 435, 255, "Pump", Alignment::Left, 18},
    {"Ln3", Kind::Line, 7156, 360, 7156, 2520, "", Alignment::Left, -1, 0, 13},
    {"TankLbl", Kind::Label, 556, 240, 375, 255, "Tank", Alignment::Left, 17},
    {"Ln8", Kind::Line, 443, 5040, 7163, 5040, "", Alignment::Left, -1, 0, 13},
    {"Ln5", Kind::Line, 413, 5040, 413, 2880, "", Alignment::Left, -1, 0, 16},
    {"Ln6", Kind::Line, 413, 2880, 7163, 2880, "", Alignment::Left, -1, 0, 16},
    {"Ln7", Kind::Line, 7163, 2880, 7163, 5040, "", Alignment::Left, -1, 0, 13},
    {"Ln2", Kind::Line, 413, 360, 7163, 360, "", Alignment::Left, -1, 0, 16},
    {"Ln1", Kind::Line, 413, 2520, 413, 360, "", Alignment::Left, -1, 0, 16},
    {"Ln4", Kind::Line, 436, 2520, 7156, 2520, "", Alignment::Left, -1, 0, 13},
    {"TankOctaneRatingLbl", Kind::Label, 660, 600, 1095, 255, "Octane Rating:", Alignment::Right,
     16},
    {"TankValueLbl", Kind::Label, 3780, 1080, 495, 255, "8.2", Alignment::Left, 15},
    {"TankVolumeLbl", Kind::Label, 3053, 1080, 615, 255, "Volume:", Alignment::Right, 14},
    {"TankFLbl", Kind::Label, 6840, 2040, 255, 255, "F", Alignment::Centre, 13},
    {"Tank34Lbl", Kind::Label, 5213, 2040, 255, 255, "3/4", Alignment::Centre, 12},
    {"Tank12Lbl", Kind::Label, 3653, 2040, 255, 255, "1/2", Alignment::Centre, 11},
    {"Tank14Lbl", Kind::Label, 2093, 2040, 255, 255, "1/4", Alignment::Centre, 10},
    {"TankELbl", Kind::Label, 480, 2040, 285, 255, "E", Alignment::Centre, 9},
    {"TankCapacityLbl", Kind::Label, 5093, 600, 1095, 255, "Tank Capacity:", Alignment::Right, 8},
}};

// What a screen reader announces for a control whose own text does not say what it is. A
// result is announced as these words and its value.
struct Spoken
{
    std::string_view control, words;
};
inline constexpr std::array<Spoken, 13> SpokenNames{{
    {"TankOctaneRatingTxt", "Tank octane rating"},
    {"TankCapacityTxt", "Tank capacity"},
    {"TankSld", "Tank fill level"},
    {"PumpOctaneRatingTxt", "Pump octane rating"},
    {"PumpSld", "Pump share of free space"},
    {"ResetCmd", "Reset"},
    {"AboutCmd", "About Fuelix"},
    {"QuitCmd", "Quit"},
    {"PicPct", "Toggle panel look (raised or sunken)"},
    {"TankValueLbl", "Volume in tank"},
    {"PumpFullLbl", "Free space"},
    {"PumpValueLbl", "Volume from pump"},
    {"FinalOctaneLbl", "Final octane rating"},
}};

// The words for that control; empty where its own text says it.
constexpr std::string_view spokenName(std::string_view control)
{
    for (const Spoken &s : SpokenNames)
        if (s.control == control)
            return s.words;
    return {};
}

// The family the result line asks for at its `points`; every other control uses the window's font.
inline constexpr std::string_view ResultFontFamily = "MS Sans Serif";

struct SliderSettings
{
    int minimum, maximum, lineStep, pageStep, tickInterval;
};
inline constexpr SliderSettings Sliders{0, 100, 1, 5, 25};

// The two raster operations a line is drawn with: its own dark colour, or white.
inline constexpr int CopyPen = 13;
inline constexpr int Whiteness = 16;

// The control of that name. In a constant expression a name missing from the table does not
// compile.
constexpr const Control &control(std::string_view name)
{
    for (const Control &c : Layout)
        if (c.name == name)
            return c;
    throw "no such control";
}

// Ln1 to Ln8 by index 0 to 7.
constexpr const Control &line(int index)
{
    constexpr std::array<std::string_view, 8> names{"Ln1", "Ln2", "Ln3", "Ln4",
                                                    "Ln5", "Ln6", "Ln7", "Ln8"};
    return control(names.at(static_cast<std::size_t>(index)));
}

} // namespace fuelix
