#include "gui/widgets/display_colors.h"

#include "gui/widgets/field_fonts.h"

#include <algorithm>
#include <cmath>

namespace lexanta {

namespace {

// Large text's threshold: black, navy and red keep their looks on white.
constexpr double kMinimumContrast = 3.0;

double luminance(const QColor& c) {
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = c.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) +
           0.0722 * channel(rgb.blueF());
}

} // namespace

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor& wanted, const QColor& background) {
    if (contrastRatio(wanted, background) >= kMinimumContrast)
        return wanted;
    const bool lighten = luminance(background) < 0.18; // below mid-grey as the eye sees it
    const QColor hsl = wanted.toHsl();
    float hue = 0, saturation = 0, lightness = 0, alpha = 0;
    hsl.getHslF(&hue, &saturation, &lightness, &alpha);
    QColor candidate = wanted;
    for (int step = 1; step <= 50; ++step) {
        const float l = std::clamp(
            lightness + (lighten ? 0.02f : -0.02f) * static_cast<float>(step), 0.0f, 1.0f);
        candidate = QColor::fromHslF(hue, saturation, l, alpha).toRgb();
        if (contrastRatio(candidate, background) >= kMinimumContrast || l <= 0 || l >= 1)
            break;
    }
    return candidate;
}

QColor fieldTextColor(std::int32_t color, const QPalette& palette, QPalette::ColorRole background) {
    const QColor back = palette.color(background);
    if (color == kColorWindowText)
        return readableOn(
            palette.color(background == QPalette::Base ? QPalette::Text : QPalette::WindowText),
            back);
    return readableOn(toQColor(color, palette), back);
}

} // namespace lexanta
