#pragma once

#include <QIcon>
#include <QProxyStyle>
#include <QStyle>

namespace lexanta {

// A standard icon of `widget`'s style that reads the style's pictures only when it is first
// painted, and once for all the controls that show the same one: the style reads every size
// of a picture as soon as it is asked for the icon, which would delay the window's first paint
// with pictures of pages and sizes not shown. Painted, it is the style's own icon.
QIcon deferredStyleIcon(const QWidget* widget, QStyle::StandardPixmap which);

// A style that is `base` in all but this: the standard icons it hands out read their pictures
// when first painted. Qt's own controls ask for theirs while they are built (the menu bar for
// the button it shows when the window is too narrow for its menus), most of them never shown.
// The title bar buttons of docks stand out from a dark scheme too (`readableIcon`).
class DeferredIconStyle : public QProxyStyle {
public:
    explicit DeferredIconStyle(QStyle* base) : QProxyStyle(base) {}
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;

private:
    QIcon deferredStandardIcon(StandardPixmap which, const QStyleOption* option,
                               const QWidget* widget) const;
};

// The application's style as a DeferredIconStyle.
void deferApplicationStyleIcons();

} // namespace lexanta
