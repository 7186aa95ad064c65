#include "gui/desktop/kwin_keyboard_layouts.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusReply>

namespace lexanta {

namespace {

const char kService[] = "org.kde.keyboard";
const char kPath[] = "/Layouts";
const char kInterface[] = "org.kde.KeyboardLayouts";
// A switcher that does not answer soon is taken as absent: the editor must not hang on it.
constexpr int kTimeoutMs = 500;

QDBusMessage call(const QDBusConnection& bus, const char* method, const QVariantList& args = {}) {
    QDBusMessage m =
        QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                       QLatin1String(kInterface), QLatin1String(method));
    m.setArguments(args);
    return bus.call(m, QDBus::Block, kTimeoutMs);
}

} // namespace

KWinKeyboardLayouts::KWinKeyboardLayouts(const QDBusConnection& bus) : bus_(bus) {}

std::vector<XkbLayout> KWinKeyboardLayouts::configuredLayouts() const {
    const QDBusMessage reply = call(bus_, "getLayoutsList");
    std::vector<XkbLayout> layouts;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return layouts;
    // a(sss): short name ("us"), variant, display name
    const auto list = reply.arguments().first().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        QString shortName, variant, displayName;
        list.beginStructure();
        list >> shortName >> variant >> displayName;
        list.endStructure();
        layouts.push_back({shortName, variant});
    }
    list.endArray();
    return layouts;
}

int KWinKeyboardLayouts::currentIndex() const {
    const QDBusMessage reply = call(bus_, "getLayout");
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return -1;
    bool ok = false;
    const uint index = reply.arguments().first().toUInt(&ok);
    return ok ? static_cast<int>(index) : -1;
}

QString KWinKeyboardLayouts::currentLayoutName() const {
    const std::vector<XkbLayout> layouts = configuredLayouts();
    const int index = currentIndex();
    if (index >= 0 && static_cast<std::size_t>(index) < layouts.size())
        if (const auto language = languageForXkbLayout(layouts[static_cast<std::size_t>(index)]))
            return layoutNameForLanguage(*language);
    return QStringLiteral("00000409");
}

LayoutHandle KWinKeyboardLayouts::loadLayout(const QString& name) {
    return {name, groupForLayoutName(name, configuredLayouts(), currentIndex())};
}

void KWinKeyboardLayouts::activate(const LayoutHandle& handle) {
    if (handle.isValid())
        call(bus_, "setLayout", {QVariant::fromValue(static_cast<uint>(handle.index))});
}

} // namespace lexanta
