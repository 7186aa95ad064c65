#pragma once

#include <QColor>
#include <QLabel>

namespace lexanta {

// A label drawn over a shadow of its own text (the About box's product name).
class ShadowLabel : public QLabel {
    Q_OBJECT

public:
    explicit ShadowLabel(const QString& text, QWidget* parent = nullptr);
    void setShadowColor(const QColor& color) { shadowColor_ = color; }
    // Offset of the shadow from the text; (-1, -1) puts it one pixel to the upper left.
    void setShadowOffset(const QPoint& offset) { shadowOffset_ = offset; }
    void setTextColor(const QColor& color) { textColor_ = color; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor textColor_ = Qt::red;
    QColor shadowColor_ = Qt::darkCyan;
    QPoint shadowOffset_{-1, -1};
};

} // namespace lexanta
