#include "gui/desktop/sway_keyboard_layouts.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QXmlStreamReader>

namespace lexanta {

namespace {

// A client that does not answer soon is taken as absent: the editor must not hang on it.
constexpr int kTimeoutMs = 500;

QByteArray runClient(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments, QIODevice::ReadOnly);
    if (!process.waitForFinished(kTimeoutMs)) {
        process.kill();
        process.waitForFinished(kTimeoutMs);
        return {};
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return process.readAllStandardOutput();
}

// Layout and variant descriptions of the XKB rules registry, each to its layout(variant).
QHash<QString, XkbLayout> readDescriptions(const QString& path) {
    QHash<QString, XkbLayout> descriptions;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return descriptions;
    QXmlStreamReader xml(&file);
    QString layout;
    bool inLayouts = false; // models and options have descriptions too
    bool inVariant = false;
    QString name;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (xml.name() == QLatin1String("layoutList"))
                inLayouts = true;
            else if (xml.name() == QLatin1String("layout"))
                layout.clear();
            else if (xml.name() == QLatin1String("variant"))
                inVariant = true;
            else if (xml.name() == QLatin1String("name"))
                name = xml.readElementText();
            else if (inLayouts && xml.name() == QLatin1String("description")) {
                const QString description = xml.readElementText();
                if (!inVariant)
                    layout = name;
                if (!layout.isEmpty() && !descriptions.contains(description))
                    descriptions.insert(description, {layout, inVariant ? name : QString()});
            }
        } else if (xml.isEndElement()) {
            if (xml.name() == QLatin1String("variant"))
                inVariant = false;
            else if (xml.name() == QLatin1String("layoutList"))
                inLayouts = false;
        }
    }
    return descriptions;
}

} // namespace

SwayKeyboardLayouts::SwayKeyboardLayouts(const QString& program, const QString& rulesXml)
    : program_(program), rulesXml_(rulesXml) {}

XkbLayout SwayKeyboardLayouts::layoutForDescription(const QString& description) const {
    if (descriptions_.isEmpty())
        descriptions_ = readDescriptions(rulesXml_);
    return descriptions_.value(description);
}

SwayKeyboardLayouts::State SwayKeyboardLayouts::state() const {
    State state;
    const QByteArray reply = runClient(
        program_, {QStringLiteral("-t"), QStringLiteral("get_inputs"), QStringLiteral("--raw")});
    // The first keyboard that has layouts: virtual keyboards and power buttons list none.
    for (const QJsonValue input : QJsonDocument::fromJson(reply).array()) {
        const QJsonObject keyboard = input.toObject();
        const QJsonArray names = keyboard.value(QLatin1String("xkb_layout_names")).toArray();
        if (keyboard.value(QLatin1String("type")).toString() != QLatin1String("keyboard") ||
            names.isEmpty())
            continue;
        for (const QJsonValue name : names)
            state.layouts.push_back(layoutForDescription(name.toString()));
        state.active = keyboard.value(QLatin1String("xkb_active_layout_index")).toInt(-1);
        break;
    }
    return state;
}

QString SwayKeyboardLayouts::currentLayoutName() const {
    const State s = state();
    if (s.active >= 0 && static_cast<std::size_t>(s.active) < s.layouts.size())
        if (const auto language =
                languageForXkbLayout(s.layouts[static_cast<std::size_t>(s.active)]))
            return layoutNameForLanguage(*language);
    return QStringLiteral("00000409");
}

LayoutHandle SwayKeyboardLayouts::loadLayout(const QString& name) {
    const State s = state();
    return {name, groupForLayoutName(name, s.layouts, s.active)};
}

void SwayKeyboardLayouts::activate(const LayoutHandle& handle) {
    if (handle.isValid())
        runClient(program_, {QStringLiteral("input"), QStringLiteral("type:keyboard"),
                             QStringLiteral("xkb_switch_layout"), QString::number(handle.index)});
}

} // namespace lexanta
