// SPDX-License-Identifier: GPL-3.0-or-later

// The window's design: every control in one table, its kind, name, container, rectangle in
// twips (1/1440 inch; 15 twips make a pixel at 96 dots per inch), text, font, colours and look,
// and the order focus moves in. Plain data, compiled without a widget; app/controlkinds.h says
// which widget each kind is, and app/controltable.h builds and places them.
//
// The order of the table is the creation order, and so the stacking order: within a
// container a later control is in front of an earlier one. Labels and the image come first
// in each container, since they are painted on its surface beneath every windowed control.
#pragma once

#include "app/layoutscale.h"

#include <QRect>
#include <QRgb>
#include <QSize>
#include <QtGlobal>

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <optional>
#include <string_view>

enum class ControlKind {
    TextBox,
    MultiLineTextBox,
    Label,
    Notice, // a label a screen reader says as its text changes (NoticeLabel)
    Image,
    Button,
    PictureButton,
    PictureBox,
    MediaControl,
};

enum ControlFlag : unsigned {
    NoFlags = 0,
    Hidden = 1 << 0,
    Opaque = 1 << 1, // a label with its own background; others are transparent
    SingleBorder = 1 << 2,
    SunkenBorder = 1 << 3,
    Centered = 1 << 4, // a text box's or a label's text
    PasswordEcho = 1 << 5,
};

struct FontDesc
{
    const char *family = nullptr; // nullptr: the container's font
    double points = 0;
    bool bold = false;
};

// A row of the table. Rows are written with the helper of their kind (label(), textBox(), ...),
// which takes only the fields that kind uses.
struct ControlEntry
{
    ControlKind kind;
    const char *name;
    const char *container;        // nullptr: the window
    int left, top, width, height; // twips, from the container's client area
    const char16_t *text;
    FontDesc font;
    std::optional<QRgb> foreground;
    std::optional<QRgb> background;
    unsigned flags;
    const char16_t *picture;
    const char16_t *downPicture;
    const char16_t *accessibleName;
};

// The rows of the table are written with these; they live in a namespace of their own so that
// short names such as label() and image() stay out of every file that includes the table.
namespace rows {

// The arguments of the per-kind helpers below, each a type of its own: a row names what it
// gives, and a value cannot land in another field, nor a kind get a field it has no use for.
struct In
{
    const char *container; // nullptr: the window
};
inline constexpr In kOnWindow {nullptr};
struct Twips
{
    int left, top, width, height;
};
struct Text
{
    const char16_t *text;
};
struct Picture
{
    const char16_t *picture = nullptr;
    const char16_t *downPicture = nullptr;
};
struct Foreground
{
    QRgb rgb;
};
struct Background
{
    QRgb rgb;
};
// What a screen reader says for a control that shows no text of its own.
struct Spoken
{
    const char16_t *name = nullptr;
};

constexpr std::optional<QRgb> rgbOf(std::optional<Foreground> colour)
{
    return colour ? std::optional<QRgb>(colour->rgb) : std::nullopt;
}
constexpr std::optional<QRgb> rgbOf(std::optional<Background> colour)
{
    return colour ? std::optional<QRgb>(colour->rgb) : std::nullopt;
}

// The one place a row is laid out field by field; the helpers below give it only what their
// kind uses.
constexpr ControlEntry entry(ControlKind kind, const char *name, In in, Twips at, Spoken spoken,
                             const char16_t *text = nullptr, FontDesc font = {},
                             std::optional<QRgb> ink = {}, std::optional<QRgb> paper = {},
                             unsigned flags = NoFlags, Picture picture = {})
{
    return {kind,       name, in.container, at.left, at.top, at.width,        at.height,
            text,       font, ink,          paper,   flags,  picture.picture, picture.downPicture,
            spoken.name};
}

constexpr ControlEntry label(const char *name, In in, Twips at, Text text, FontDesc font,
                             std::optional<Foreground> ink = {}, unsigned flags = NoFlags,
                             Spoken spoken = {})
{
    return entry(ControlKind::Label, name, in, at, spoken, text.text, font, rgbOf(ink), {}, flags);
}

constexpr ControlEntry notice(const char *name, In in, Twips at, Text text, FontDesc font,
                              std::optional<Foreground> ink = {},
                              std::optional<Background> paper = {}, unsigned flags = NoFlags)
{
    return entry(ControlKind::Notice, name, in, at, {}, text.text, font, rgbOf(ink), rgbOf(paper),
                 flags);
}

constexpr ControlEntry image(const char *name, In in, Twips at, Spoken spoken)
{
    return entry(ControlKind::Image, name, in, at, spoken);
}

constexpr ControlEntry textBox(const char *name, In in, Twips at, FontDesc font, Spoken spoken,
                               std::optional<Foreground> ink = {},
                               std::optional<Background> paper = {}, unsigned flags = NoFlags)
{
    return entry(ControlKind::TextBox, name, in, at, spoken, u"", font, rgbOf(ink), rgbOf(paper),
                 flags);
}

constexpr ControlEntry multiLineTextBox(const char *name, In in, Twips at, FontDesc font,
                                        Spoken spoken)
{
    return entry(ControlKind::MultiLineTextBox, name, in, at, spoken, u"", font);
}

constexpr ControlEntry button(const char *name, In in, Twips at, Text text, FontDesc font,
                              Spoken spoken = {}, std::optional<Background> paper = {})
{
    return entry(ControlKind::Button, name, in, at, spoken, text.text, font, {}, rgbOf(paper));
}

constexpr ControlEntry pictureButton(const char *name, In in, Twips at, Picture picture,
                                     Spoken spoken, std::optional<Background> paper = {},
                                     unsigned flags = NoFlags)
{
    return entry(ControlKind::PictureButton, name, in, at, spoken, nullptr, {}, {}, rgbOf(paper),
                 flags, picture);
}

// A picture box has no picture for a held-down state.
constexpr ControlEntry pictureBox(const char *name, In in, Twips at, Picture picture, Spoken spoken,
                                  std::optional<Background> paper = {}, unsigned flags = NoFlags)
{
    return entry(ControlKind::PictureBox, name, in, at, spoken, nullptr, {}, {}, rgbOf(paper),
                 flags, {picture.picture, nullptr});
}

constexpr ControlEntry mediaControl(const char *name, In in, Twips at, Spoken spoken)
{
    return entry(ControlKind::MediaControl, name, in, at, spoken);
}

} // namespace rows

namespace detail {
inline constexpr FontDesc kArial12Bold {"Arial", 12, true};
inline constexpr FontDesc kArial975Bold {"Arial", 9.75, true};
inline constexpr FontDesc kArial1425 {"Arial", 14.25, false};
inline constexpr FontDesc kSansSerif12Bold {"MS Sans Serif", 12, true};
inline constexpr FontDesc kNoFont {};
inline constexpr QRgb kButtonGrey = 0xffc0c0c0;
inline constexpr QRgb kBlack = 0xff000000;
inline constexpr QRgb kWhite = 0xffffffff;
inline constexpr QRgb kHeadingRed = 0xff800000;
} // namespace detail

// clang-format off
namespace rows {
inline constexpr ControlEntry kControls[] = {
    // The window's surface, back to front.
    label("Label4", kOnWindow, {10830, 1410, 795, 645}, Text{u""}, {}, {}, NoFlags, Spoken{u"Amaga l'enregistrador"}),
    label("Label1", kOnWindow, {300, 180, 4875, 645}, Text{u"Luvana"}, {"Arial", 24, true}, Foreground{0xffc000c0}),
    label("Label6", kOnWindow, {330, 150, 3945, 645}, Text{u"Luvana"}, {"Arial", 24, true}, Foreground{detail::kBlack}),
    label("Label3", kOnWindow, {360, 2070, 6135, 405}, Text{u"Llegeix amb atenció aquest text."}, detail::kArial1425, Foreground{detail::kHeadingRed}, Opaque),
    label("Label7", kOnWindow, {6570, 2070, 4605, 405}, Text{u"Contesta aquestes preguntes"}, detail::kArial1425, Foreground{detail::kHeadingRed}, Opaque),
    label("Label8", kOnWindow, {3240, 1020, 675, 315}, Text{u"Nom:"}, detail::kSansSerif12Bold),
    // In full screen, where the title bar is not shown, the words of a caption that tells of a
    // failure; in the free corner right of the name box.
    notice("avis", kOnWindow, {6300, 120, 4875, 1260}, Text{u""}, detail::kArial12Bold, Foreground{detail::kWhite}, Background{detail::kHeadingRed}, Centered | Hidden),
    image("Image1", kOnWindow, {360, 2490, 6135, 4005}, Spoken{u"Imatge de la lectura"}),

    // The window's windowed controls, back to front.
    multiLineTextBox("Text1", kOnWindow, {360, 2490, 6180, 4005}, detail::kArial975Bold, Spoken{u"Text de lectura"}),
    textBox("Text2", kOnWindow, {6570, 2490, 4230, 405}, detail::kArial975Bold, Spoken{u"Frase 2"}),
    textBox("Text3", kOnWindow, {6570, 2940, 4230, 405}, detail::kArial975Bold, Spoken{u"Frase 3"}),
    textBox("Text4", kOnWindow, {6570, 3390, 4230, 405}, detail::kArial975Bold, Spoken{u"Frase 4"}),
    textBox("Text5", kOnWindow, {6570, 3840, 4230, 405}, detail::kArial975Bold, Spoken{u"Frase 5"}),
    textBox("Text6", kOnWindow, {6570, 4290, 4230, 405}, detail::kArial975Bold, Spoken{u"Frase 6"}),
    textBox("Text7", kOnWindow, {6570, 4740, 4230, 405}, detail::kArial975Bold, Spoken{u"Frase 7"}),
    textBox("Text8", kOnWindow, {6570, 5190, 4230, 405}, detail::kArial975Bold, Spoken{u"Frase 8"}),
    textBox("Text9", kOnWindow, {6570, 5640, 4230, 405}, detail::kArial975Bold, Spoken{u"Frase 9"}),
    textBox("Text10", kOnWindow, {6570, 6090, 4230, 405}, detail::kArial975Bold, Spoken{u"Frase 10"}),
    pictureBox("Picture1", kOnWindow, {330, 6540, 10845, 525}, {}, Spoken{u"Barra de la nota"}, Background{detail::kBlack}, SingleBorder),
    pictureBox("Picture2", kOnWindow, {330, 1500, 10845, 525}, {}, Spoken{u"Barra del títol"}, Background{detail::kBlack}, SingleBorder),
    pictureBox("Picture3", kOnWindow, {300, 7470, 10485, 4485}, Picture{u"feedback.svg"}, Spoken{u"Missatge final: fes-hi clic per tancar-lo"}, {}, SunkenBorder | Hidden),
    pictureBox("Picture4", kOnWindow, {8760, 540, 1950, 570}, Picture{u"comencar.svg"}, Spoken{u"Començar"}, {}, Hidden),
    mediaControl("MMControl1", kOnWindow, {6540, 1530, 4170, 495}, Spoken{u"Reproductor i enregistrador"}),
    pictureButton("wav1", kOnWindow, {6180, 2070, 315, 405}, Picture{u"speaker.svg"}, Spoken{u"Escolta la frase 1"}, Background{detail::kButtonGrey}),
    button("Command4", kOnWindow, {10200, 1560, 495, 435}, Text{u"oK"}, {"Arial", 8.25, true}, Spoken{u"Desa l'enregistrament"}),
    pictureButton("wav2", kOnWindow, {10860, 2490, 315, 405}, Picture{u"speaker.svg"}, Spoken{u"Escolta la frase 2"}, Background{detail::kButtonGrey}),
    pictureButton("wav3", kOnWindow, {10860, 2970, 315, 405}, Picture{u"speaker.svg"}, Spoken{u"Escolta la frase 3"}, Background{detail::kButtonGrey}),
    pictureButton("wav4", kOnWindow, {10860, 3420, 315, 405}, Picture{u"speaker.svg"}, Spoken{u"Escolta la frase 4"}, Background{detail::kButtonGrey}),
    pictureButton("wav5", kOnWindow, {10860, 3870, 315, 405}, Picture{u"speaker.svg"}, Spoken{u"Escolta la frase 5"}, Background{detail::kButtonGrey}),
    pictureButton("wav6", kOnWindow, {10860, 4320, 315, 405}, Picture{u"speaker.svg"}, Spoken{u"Escolta la frase 6"}, Background{detail::kButtonGrey}),
    pictureButton("wav7", kOnWindow, {10860, 4770, 315, 405}, Picture{u"speaker.svg"}, Spoken{u"Escolta la frase 7"}, Background{detail::kButtonGrey}),
    pictureButton("wav8", kOnWindow, {10860, 5220, 315, 405}, Picture{u"speaker.svg"}, Spoken{u"Escolta la frase 8"}, Background{detail::kButtonGrey}),
    pictureButton("wav9", kOnWindow, {10860, 5670, 315, 405}, Picture{u"speaker.svg"}, Spoken{u"Escolta la frase 9"}, Background{detail::kButtonGrey}),
    pictureButton("wav10", kOnWindow, {10860, 6120, 315, 405}, Picture{u"speaker.svg"}, Spoken{u"Escolta la frase 10"}, Background{detail::kButtonGrey}),
    button("Command3", kOnWindow, {10710, 1560, 465, 435}, Text{u"\u2652"}, {"DejaVu Sans", 12, true}, Spoken{u"Descarta l'enregistrament"}),
    button("Command5", kOnWindow, {360, 1050, 2475, 285}, Text{u"Textos a la Web"}, detail::kArial12Bold, {}, Background{0xff00ff00}),
    textBox("nom", kOnWindow, {4050, 870, 1485, 435}, detail::kSansSerif12Bold, Spoken{u"Nom"}),
    pictureButton("lent", kOnWindow, {5670, 840, 495, 495}, Picture{u"turtle.svg"}, Spoken{u"Més a poc a poc"}),

    // The title bar.
    textBox("titol", In{"Picture2"}, {0, 90, 9675, 345}, detail::kArial12Bold, Spoken{u"Títol del dictat"}, Foreground{detail::kWhite}, Background{detail::kBlack}),
    pictureButton("dib", In{"Picture2"}, {5070, -30, 1065, 555}, Picture{u"dib.svg"}, Spoken{u"Tria una imatge per a la lectura"}, {}, Hidden),

    // The feedback panel.
    notice("Label5", In{"Picture3"}, {6120, 2310, 3735, 1425}, Text{u" "}, detail::kArial12Bold),

    // The bottom bar.
    notice("Label2", In{"Picture1"}, {2790, 60, 4575, 375}, Text{u"La teva nota és: 10"}, {"Comic Sans MS", 12, false}, Foreground{detail::kWhite}),
    pictureButton("Command1", In{"Picture1"}, {10350, -30, 465, 465}, Picture{u"command1.svg", u"command1-down.svg"}, Spoken{u"Comença un dictat nou"}),
    pictureButton("Command2", In{"Picture1"}, {0, 0, 465, 465}, Picture{u"command2.svg", u"command2-down.svg"}, Spoken{u"Desa el dictat"}),
    textBox("codi", In{"Picture1"}, {570, 60, 1005, 375}, detail::kArial12Bold, Spoken{u"Codi d'accés"}, {}, {}, Centered | PasswordEcho),
};
} // namespace rows
using rows::kControls;

// Focus moves through the controls in this order; labels and the image take no focus. Keep and
// discard come after the ten play buttons, so that a pupil going from speaker to speaker never
// lands on them.
inline constexpr const char *kTabOrder[] = {
    "Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text7", "Text8", "Text9", "Text10",
    "Picture1", "Command1", "Picture2", "Picture3", "Picture4", "Command2", "titol", "codi",
    "MMControl1", "wav1", "wav2", "wav3", "wav4", "wav5", "wav6", "wav7", "wav8", "wav9", "wav10",
    "Command4", "Command3", "Command5", "nom", "dib", "lent",
};
// clang-format on

inline constexpr std::size_t kControlCount = std::size(kControls);

// The client area the layout covers, in twips: the design width, and the height down to the
// lowest control (the feedback panel, which reaches below the design client height).
constexpr QSize layoutTwips()
{
    constexpr int kDesignClientWidth = 12015;
    int bottom = 0;
    for (const ControlEntry &entry : kControls) {
        if (!entry.container)
            bottom = std::max(bottom, entry.top + entry.height);
    }
    return QSize(kDesignClientWidth, bottom);
}
inline constexpr QSize kLayoutTwips = layoutTwips();

// The height of the layout in sight when the window opens, in twips: down to the lowest control
// on the window that is not hidden at first (the bottom bar).
constexpr int visibleLayoutHeightTwips()
{
    int bottom = 0;
    for (const ControlEntry &entry : kControls) {
        if (!entry.container && !(entry.flags & Hidden))
            bottom = std::max(bottom, entry.top + entry.height);
    }
    return bottom;
}
inline constexpr int kVisibleLayoutHeightTwips = visibleLayoutHeightTwips();

// The row of a control. Where the name is a constant, as for every handle the window takes,
// this runs at compile time, and a name missing from the table does not compile.
constexpr std::size_t entryIndex(std::string_view name)
{
    for (std::size_t row = 0; row < kControlCount; ++row) {
        if (std::string_view(kControls[row].name) == name)
            return row;
    }
    throw "no control of that name in the table";
}

// The row of an item's control, named by its number after `prefix` ("wav3", "Text10").
constexpr std::size_t itemRow(std::string_view prefix, int item)
{
    for (std::size_t row = 0; row < kControlCount; ++row) {
        const std::string_view name(kControls[row].name);
        if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix)
            continue;
        int number = 0;
        for (const char digit : name.substr(prefix.size()))
            number = digit >= '0' && digit <= '9' ? number * 10 + (digit - '0') : -1;
        if (number == item)
            return row;
    }
    throw "no control for that item in the table";
}
