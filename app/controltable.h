// Every control of the window, in one table: its kind, name, container, rectangle in twips
// (1/1440 inch; 15 twips make a pixel at 96 dots per inch), text, font, colours and look.
//
// The order of the table is the creation order, and so the stacking order: within a
// container a later control is in front of an earlier one. Labels and the image come first
// in each container, since they are painted on its surface beneath every windowed control.
#pragma once

#include <QRect>
#include <QRgb>

#include <optional>

class QWidget;

enum class ControlKind {
    TextBox,
    MultiLineTextBox,
    Label,
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
    Centered = 1 << 4,
    PasswordEcho = 1 << 5,
};

struct FontDesc
{
    const char *family = nullptr; // nullptr: the container's font
    double points = 0;
    bool bold = false;
};

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

inline constexpr int kTwipsPerPixel = 15;

constexpr QRect twipsToPixels(int left, int top, int width, int height)
{
    return QRect(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
                 height / kTwipsPerPixel);
}

inline QRect pixelRect(const ControlEntry &entry)
{
    return twipsToPixels(entry.left, entry.top, entry.width, entry.height);
}

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
inline constexpr ControlEntry kControls[] = {
    // The window's surface, back to front.
    {ControlKind::Label, "Label4", nullptr, 10830, 1410, 795, 645, u"", {}, {}, {}, NoFlags, nullptr, nullptr, u"Amaga l'enregistrador"},
    {ControlKind::Label, "Label1", nullptr, 300, 180, 4875, 645, u"Luvana", {"Arial", 24, true}, 0xffc000c0, {}, NoFlags, nullptr, nullptr, nullptr},
    {ControlKind::Label, "Label6", nullptr, 330, 150, 3945, 645, u"Luvana", {"Arial", 24, true}, detail::kBlack, {}, NoFlags, nullptr, nullptr, nullptr},
    {ControlKind::Label, "Label3", nullptr, 360, 2070, 6135, 405, u"Llegeix amb atenció aquest text.", detail::kArial1425, detail::kHeadingRed, {}, Opaque, nullptr, nullptr, nullptr},
    {ControlKind::Label, "Label7", nullptr, 6570, 2070, 4605, 405, u"Contesta aquestes preguntes", detail::kArial1425, detail::kHeadingRed, {}, Opaque, nullptr, nullptr, nullptr},
    {ControlKind::Label, "Label8", nullptr, 3240, 1020, 675, 315, u"Nom:", detail::kSansSerif12Bold, {}, {}, NoFlags, nullptr, nullptr, nullptr},
    {ControlKind::Image, "Image1", nullptr, 360, 2490, 6135, 4005, nullptr, {}, {}, {}, NoFlags, nullptr, nullptr, u"Imatge de la lectura"},

    // The window's windowed controls, back to front.
    {ControlKind::MultiLineTextBox, "Text1", nullptr, 360, 2490, 6180, 4005, u"", detail::kArial975Bold, {}, {}, NoFlags, nullptr, nullptr, u"Text de lectura"},
    {ControlKind::TextBox, "Text2", nullptr, 6570, 2490, 4230, 405, u"", detail::kArial975Bold, {}, {}, NoFlags, nullptr, nullptr, u"Frase 2"},
    {ControlKind::TextBox, "Text3", nullptr, 6570, 2940, 4230, 405, u"", detail::kArial975Bold, {}, {}, NoFlags, nullptr, nullptr, u"Frase 3"},
    {ControlKind::TextBox, "Text4", nullptr, 6570, 3390, 4230, 405, u"", detail::kArial975Bold, {}, {}, NoFlags, nullptr, nullptr, u"Frase 4"},
    {ControlKind::TextBox, "Text5", nullptr, 6570, 3840, 4230, 405, u"", detail::kArial975Bold, {}, {}, NoFlags, nullptr, nullptr, u"Frase 5"},
    {ControlKind::TextBox, "Text6", nullptr, 6570, 4290, 4230, 405, u"", detail::kArial975Bold, {}, {}, NoFlags, nullptr, nullptr, u"Frase 6"},
    {ControlKind::TextBox, "Text7", nullptr, 6570, 4740, 4230, 405, u"", detail::kArial975Bold, {}, {}, NoFlags, nullptr, nullptr, u"Frase 7"},
    {ControlKind::TextBox, "Text8", nullptr, 6570, 5190, 4230, 405, u"", detail::kArial975Bold, {}, {}, NoFlags, nullptr, nullptr, u"Frase 8"},
    {ControlKind::TextBox, "Text9", nullptr, 6570, 5640, 4230, 405, u"", detail::kArial975Bold, {}, {}, NoFlags, nullptr, nullptr, u"Frase 9"},
    {ControlKind::TextBox, "Text10", nullptr, 6570, 6090, 4230, 405, u"", detail::kArial975Bold, {}, {}, NoFlags, nullptr, nullptr, u"Frase 10"},
    {ControlKind::PictureBox, "Picture1", nullptr, 330, 6540, 10845, 525, nullptr, {}, {}, detail::kBlack, SingleBorder, nullptr, nullptr, nullptr},
    {ControlKind::PictureBox, "Picture2", nullptr, 330, 1500, 10845, 525, nullptr, {}, {}, detail::kBlack, SingleBorder, nullptr, nullptr, nullptr},
    {ControlKind::PictureBox, "Picture3", nullptr, 300, 7470, 10485, 4485, nullptr, {}, {}, {}, SunkenBorder | Hidden, u"feedback.svg", nullptr, u"Missatge final: fes-hi clic per tancar-lo"},
    {ControlKind::PictureBox, "Picture4", nullptr, 8760, 540, 1950, 570, nullptr, {}, {}, {}, Hidden, u"comencar.svg", nullptr, u"Començar"},
    {ControlKind::MediaControl, "MMControl1", nullptr, 6540, 1530, 4170, 495, nullptr, {}, {}, {}, NoFlags, nullptr, nullptr, u"Reproductor i enregistrador"},
    {ControlKind::PictureButton, "wav1", nullptr, 6180, 2070, 315, 405, nullptr, {}, {}, detail::kButtonGrey, NoFlags, u"speaker.svg", nullptr, u"Escolta la frase 1"},
    {ControlKind::Button, "Command4", nullptr, 10200, 1560, 495, 435, u"oK", {"Arial", 8.25, true}, {}, {}, NoFlags, nullptr, nullptr, u"Desa l'enregistrament"},
    {ControlKind::PictureButton, "wav2", nullptr, 10860, 2490, 315, 405, nullptr, {}, {}, detail::kButtonGrey, NoFlags, u"speaker.svg", nullptr, u"Escolta la frase 2"},
    {ControlKind::PictureButton, "wav3", nullptr, 10860, 2970, 315, 405, nullptr, {}, {}, detail::kButtonGrey, NoFlags, u"speaker.svg", nullptr, u"Escolta la frase 3"},
    {ControlKind::PictureButton, "wav4", nullptr, 10860, 3420, 315, 405, nullptr, {}, {}, detail::kButtonGrey, NoFlags, u"speaker.svg", nullptr, u"Escolta la frase 4"},
    {ControlKind::PictureButton, "wav5", nullptr, 10860, 3870, 315, 405, nullptr, {}, {}, detail::kButtonGrey, NoFlags, u"speaker.svg", nullptr, u"Escolta la frase 5"},
    {ControlKind::PictureButton, "wav6", nullptr, 10860, 4320, 315, 405, nullptr, {}, {}, detail::kButtonGrey, NoFlags, u"speaker.svg", nullptr, u"Escolta la frase 6"},
    {ControlKind::PictureButton, "wav7", nullptr, 10860, 4770, 315, 405, nullptr, {}, {}, detail::kButtonGrey, NoFlags, u"speaker.svg", nullptr, u"Escolta la frase 7"},
    {ControlKind::PictureButton, "wav8", nullptr, 10860, 5220, 315, 405, nullptr, {}, {}, detail::kButtonGrey, NoFlags, u"speaker.svg", nullptr, u"Escolta la frase 8"},
    {ControlKind::PictureButton, "wav9", nullptr, 10860, 5670, 315, 405, nullptr, {}, {}, detail::kButtonGrey, NoFlags, u"speaker.svg", nullptr, u"Escolta la frase 9"},
    {ControlKind::PictureButton, "wav10", nullptr, 10860, 6120, 315, 405, nullptr, {}, {}, detail::kButtonGrey, NoFlags, u"speaker.svg", nullptr, u"Escolta la frase 10"},
    {ControlKind::Button, "Command3", nullptr, 10710, 1560, 465, 435, u"\u2652", {"DejaVu Sans", 12, true}, {}, {}, NoFlags, nullptr, nullptr, u"Descarta l'enregistrament"},
    {ControlKind::Button, "Command5", nullptr, 360, 1050, 2475, 285, u"Textos a la Web", detail::kArial12Bold, {}, 0xff00ff00, NoFlags, nullptr, nullptr, nullptr},
    {ControlKind::TextBox, "nom", nullptr, 4050, 870, 1485, 435, u"", detail::kSansSerif12Bold, {}, {}, NoFlags, nullptr, nullptr, u"Nom"},

    // The title bar.
    {ControlKind::TextBox, "titol", "Picture2", 0, 90, 9675, 345, u"", detail::kArial12Bold, detail::kWhite, detail::kBlack, NoFlags, nullptr, nullptr, u"Títol del dictat"},
    {ControlKind::PictureButton, "dib", "Picture2", 5070, -30, 1065, 555, nullptr, {}, {}, {}, Hidden, u"dib.svg", nullptr, u"Tria una imatge per a la lectura"},

    // The feedback panel.
    {ControlKind::Label, "Label5", "Picture3", 6120, 2310, 3735, 1425, u" ", detail::kArial12Bold, {}, {}, NoFlags, nullptr, nullptr, nullptr},

    // The bottom bar.
    {ControlKind::Label, "Label2", "Picture1", 2790, 60, 4575, 375, u"La teva nota es: 10", {"Comic Sans MS", 12, false}, detail::kWhite, {}, NoFlags, nullptr, nullptr, nullptr},
    {ControlKind::PictureButton, "Command1", "Picture1", 10350, -30, 465, 465, nullptr, {}, {}, {}, NoFlags, u"command1.svg", u"command1-down.svg", u"Comença un dictat nou"},
    {ControlKind::PictureButton, "Command2", "Picture1", 0, 0, 465, 465, nullptr, {}, {}, {}, NoFlags, u"command2.svg", u"command2-down.svg", u"Desa el dictat"},
    {ControlKind::TextBox, "codi", "Picture1", 570, 60, 1005, 375, u"", detail::kArial12Bold, {}, {}, Centered | PasswordEcho, nullptr, nullptr, u"Codi d'accés"},
};

// Focus moves through the controls in this order; labels and the image take no focus.
inline constexpr const char *kTabOrder[] = {
    "Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text7", "Text8", "Text9", "Text10",
    "Picture1", "Command1", "Picture2", "Picture3", "Picture4", "Command2", "titol", "codi",
    "MMControl1", "wav1", "Command4", "wav2", "wav3", "wav4", "wav5", "wav6", "wav7", "wav8",
    "wav9", "wav10", "Command3", "Command5", "nom", "dib",
};
// clang-format on

// Creates every control of the table on the window, in order, and sets the tab order.
void buildControls(QWidget *window);

// The window or the panel a control was placed on (a panel's children live in its client area).
QWidget *containerOf(const QWidget *control);
