#include "gui/widgets/shadow_label.h"

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
    painter.setPen(shadowColor_);
    painter.drawText(area.translated(shadowOffset_), flags, text());
    painter.setPen(textColor_);
    painter.drawText(area, flags, text());
}

} // namespace lexanta
