#pragma once

// XKB groups written as setxkbmap takes them: "us,ru(phonetic),de".

#include "platform/keyboard_layouts.h"

#include <QStringList>

#include <vector>

namespace lexanta::test {

inline QString describe(const std::vector<XkbLayout>& groups) {
    QStringList parts;
    for (const XkbLayout& group : groups)
        parts << (group.variant.isEmpty()
                      ? group.layout
                      : QStringLiteral("%1(%2)").arg(group.layout, group.variant));
    return parts.join(QLatin1Char(','));
}

} // namespace lexanta::test
