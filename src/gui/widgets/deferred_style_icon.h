#pragma once

#include <QIcon>
#include <QStyle>

namespace lexanta {

// A standard icon of `widget`'s style that reads the style's pictures only when it is first
// painted, and once for all the controls that show the same one: the style reads every size
// of a picture as soon as it is asked for the icon, which would delay the window's first paint
// with pictures of pages and sizes not shown. Painted, it is the style's own icon.
QIcon deferredStyleIcon(const QWidget* widget, QStyle::StandardPixmap which);

} // namespace lexanta
