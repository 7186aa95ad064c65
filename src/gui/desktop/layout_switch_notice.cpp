#include "gui/desktop/layout_switch_notice.h"

#include "gui/widgets/dialogs.h"
#include "platform/ini_profile.h"

#include <QDir>
#include <QFileInfo>

namespace lexanta {

namespace {

const QString kSection = QStringLiteral("Notices");
const QString kKey = QStringLiteral("KeyboardLayoutSwitching");

} // namespace

UnswitchableKeyboardLayouts::UnswitchableKeyboardLayouts(const QString& desktop)
    : desktop_(desktop) {}

QString UnswitchableKeyboardLayouts::switchingSetting(bool english) const {
    if (desktop_.contains(QLatin1String("GNOME"), Qt::CaseInsensitive))
        return english ? QStringLiteral("Settings, Keyboard, Input Sources")
                       : QStringLiteral("Параметры, Клавиатура, Источники ввода");
    return english ? QStringLiteral("the keyboard settings of your desktop")
                   : QStringLiteral("настройки клавиатуры вашего рабочего стола");
}

LayoutSwitchNotice::LayoutSwitchNotice(Dialogs& dialogs, const QString& settingsPath)
    : dialogs_(dialogs), settingsPath_(settingsPath) {}

void LayoutSwitchNotice::show(QWidget* owner, const QString& setting, bool english) {
    if (shown_ || setting.isEmpty())
        return;
    shown_ = true;
    IniFile settings;
    const bool loaded = bool(settings.load(settingsPath_));
    if (loaded && settings.intValue(kSection, kKey, 1) == 0)
        return;
    const QString text =
        english ? QStringLiteral("This desktop does not let programs switch the keyboard layout, "
                                 "so the editor cannot switch it for each field. Switch it "
                                 "yourself; the layouts are set here: %1.")
                : QStringLiteral("Этот рабочий стол не позволяет программам переключать "
                                 "раскладку клавиатуры, поэтому редактор не может переключать её "
                                 "для каждого поля. Переключайте её сами; раскладки задаются "
                                 "здесь: %1.");
    const bool dismissed = dialogs_.notice(
        owner, text.arg(setting),
        english ? QStringLiteral("Keyboard layout") : QStringLiteral("Раскладка клавиатуры"),
        english ? QStringLiteral("Do not show again") : QStringLiteral("Больше не показывать"));
    if (!dismissed || !loaded) // an unreadable file is not replaced
        return;
    settings.setIntValue(kSection, kKey, 0);
    // A folder that cannot be made or written shows the notice again next time: nothing lost.
    QDir().mkpath(QFileInfo(settingsPath_).absolutePath());
    (void)settings.save();
}

} // namespace lexanta
