#include "gui/widgets/field_fonts.h"

#include "platform/codepage.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace lexanta {

namespace {

struct Substitution {
    const char* face;
    const char* standIn;
};

constexpr Substitution kSubstitutions[] = {
    {"Arial", "Liberation Sans"},
    {"MS Sans Serif", "Liberation Sans"},
    {"Microsoft Sans Serif", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"MS Serif", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
};

} // namespace

void installFontSubstitutions() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    for (const Substitution& s : kSubstitutions)
        QFont::insertSubstitution(QString::fromLatin1(s.face), QString::fromLatin1(s.standIn));
}

QStringList substitutedFaces() {
    QStringList faces;
    for (const Substitution& s : kSubstitutions)
        faces << QString::fromLatin1(s.face);
    return faces;
}

QString faceName(const FieldFont& font) {
    return CodePage::get(systemAnsiCodePage()).decode(font.face);
}

bool setFaceName(FieldFont& font, const QString& name) {
    if (name == faceName(font))
        return true; // keep the stored bytes exactly
    EncodeResult encoded = CodePage::get(systemAnsiCodePage()).encode(name);
    if (!encoded.ok())
        return false;
    font.face = std::move(encoded.bytes);
    return true;
}

QFont toQFont(const FieldFont& font) {
    QFont f(faceName(font));
    f.setPointSize(std::max(1, font.pointSize));
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    f.setStrikeOut(font.strikeOut);
    return f;
}

bool isSystemColor(std::int32_t color) {
    return color < 0;
}

namespace {

// Windows system colour indices (GetSysColor) to the nearest palette role.
QPalette::ColorRole roleForSystemColor(int index) {
    switch (index) {
    case 0:
        return QPalette::Button; // scroll bar
    case 1:
        return QPalette::Dark; // desktop
    case 2:
        return QPalette::Highlight; // active caption
    case 3:
        return QPalette::Mid; // inactive caption
    case 4:
        return QPalette::Window; // menu
    case 5:
        return QPalette::Base; // window
    case 6:
        return QPalette::Shadow; // window frame
    case 7:
        return QPalette::WindowText; // menu text
    case 8:
        return QPalette::WindowText; // window text
    case 9:
        return QPalette::HighlightedText; // caption text
    case 10:
        return QPalette::Button; // active border
    case 11:
        return QPalette::Button; // inactive border
    case 12:
        return QPalette::Dark; // application workspace
    case 13:
        return QPalette::Highlight; // highlight
    case 14:
        return QPalette::HighlightedText;
    case 15:
        return QPalette::Button; // button face
    case 16:
        return QPalette::Mid; // button shadow
    case 17:
        return QPalette::PlaceholderText; // grey text
    case 18:
        return QPalette::ButtonText; // button text
    case 19:
        return QPalette::Light; // inactive caption text
    case 20:
        return QPalette::Light; // button highlight
    case 21:
        return QPalette::Shadow; // 3D dark shadow
    case 22:
        return QPalette::Midlight; // 3D light
    case 23:
        return QPalette::ToolTipText;
    case 24:
        return QPalette::ToolTipBase;
    case 26:
        return QPalette::Link; // hot-tracked item
    case 27:
        return QPalette::Highlight;
    case 28:
        return QPalette::Mid;
    case 29:
        return QPalette::Highlight; // menu highlight
    case 30:
        return QPalette::Window; // menu bar
    default:
        return QPalette::WindowText;
    }
}

} // namespace

QColor toQColor(std::int32_t color, const QPalette& palette) {
    const auto bits = static_cast<std::uint32_t>(color);
    if (isSystemColor(color))
        return palette.color(QPalette::Active, roleForSystemColor(static_cast<int>(bits & 0xFF)));
    return QColor(static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                  static_cast<int>((bits >> 16) & 0xFF));
}

std::int32_t fromQColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(rgb.red()) |
                                     static_cast<std::uint32_t>(rgb.green()) << 8 |
                                     static_cast<std::uint32_t>(rgb.blue()) << 16);
}

void setWidgetFont(QWidget* widget, const QFont& font, const QColor& color) {
    widget->setFont(font);
    QPalette palette = widget->palette();
    for (const auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        palette.setColor(role, color);
    widget->setPalette(palette);
}

const std::vector<NamedValue>& fontScripts() {
    static const std::vector<NamedValue> scripts = {
        {0, "Western"},
        {1, "Default"},
        {204, "Cyrillic"},
        {238, "Central European"},
        {161, "Greek"},
        {162, "Turkish"},
        {177, "Hebrew"},
        {178, "Arabic"},
        {186, "Baltic"},
        {163, "Vietnamese"},
        {222, "Thai"},
        {128, "Japanese"},
        {134, "Chinese Simplified"},
        {136, "Chinese Traditional"},
        {129, "Korean"},
    };
    return scripts;
}

QString scriptName(int charset) {
    for (const NamedValue& s : fontScripts())
        if (s.value == charset)
            return QString::fromLatin1(s.name);
    return QStringLiteral("Script %1").arg(charset);
}

QString scriptSample(int charset) {
    switch (charset) {
    case 204:
        return QStringLiteral("AaBb АаБбЯя");
    case 238:
        return QStringLiteral("AaBb ÁáÔôŘř");
    case 161:
        return QStringLiteral("AaBb ΑαΒβΩω");
    case 162:
        return QStringLiteral("AaBb ĞğŞşİı");
    case 177:
        return QStringLiteral("AaBb אבגדה");
    case 178:
        return QStringLiteral("AaBb أبجد");
    case 186:
        return QStringLiteral("AaBb ĀāĒēŠš");
    case 163:
        return QStringLiteral("AaBb ƯưƠơ");
    case 222:
        return QStringLiteral("AaBb กขคง");
    case 128:
        return QStringLiteral("AaBb あアー亜");
    case 134:
        return QStringLiteral("AaBb 中文字体");
    case 136:
        return QStringLiteral("AaBb 中文字型");
    case 129:
        return QStringLiteral("AaBb 가나다라");
    default:
        return QStringLiteral("AaBbYyZz");
    }
}

const std::vector<NamedColor>& namedColors() {
    static const std::vector<NamedColor> colors = {
        {0x000000, "Black"},
        {0x000080, "Maroon"},
        {0x008000, "Green"},
        {0x008080, "Olive"},
        {0x800000, "Navy"},
        {0x800080, "Purple"},
        {0x808000, "Teal"},
        {0x808080, "Gray"},
        {0xC0C0C0, "Silver"},
        {0x0000FF, "Red"},
        {0x00FF00, "Lime"},
        {0x00FFFF, "Yellow"},
        {0xFF0000, "Blue"},
        {0xFF00FF, "Fuchsia"},
        {0xFFFF00, "Aqua"},
        {0xFFFFFF, "White"},
        {static_cast<std::int32_t>(0x80000008u), "Window Text"},
        {static_cast<std::int32_t>(0x80000005u), "Window"},
        {static_cast<std::int32_t>(0x80000012u), "Button Text"},
        {static_cast<std::int32_t>(0x8000000Fu), "Button Face"},
        {static_cast<std::int32_t>(0x8000000Du), "Highlight"},
        {static_cast<std::int32_t>(0x8000000Eu), "Highlight Text"},
        {static_cast<std::int32_t>(0x80000011u), "Gray Text"},
        {static_cast<std::int32_t>(0x80000007u), "Menu Text"},
        {static_cast<std::int32_t>(0x80000017u), "Info Text"},
    };
    return colors;
}

} // namespace lexanta
