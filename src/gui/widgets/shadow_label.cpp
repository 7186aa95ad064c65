#include "gui/widgets/shadow_label.h"

#include "gui/widgets/display_colors.h"

#include <QPainter>

namespace lexanta {

ShadowLabel::ShadowLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

void ShadowLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(font());
    const QRect area = contentsRect();
    const int flags = static_cast<int>(alignment());
    // The shadow lies one pixel off and the text is drawn over it, so the shadow shows
    // only along the edges.
    // Both colours are made readable on the colour scheme in use, as it is at this paint.
    const QColor background = palette().color(backgroundRole());
    painter.setPen(readableOn(shadowColor_, background));
    painter.drawText(area.translated(shadowOffset_), flags, text());
    painter.setPen(readableOn(textColor_, background));
    painter.drawText(area, flags, text());
}

} // namespace lexanta
