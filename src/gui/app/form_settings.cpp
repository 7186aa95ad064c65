#include "gui/app/form_settings.h"

#include "document/document.h"
#include "gui/app/main_window.h"
#include "gui/app/speed_bar.h"
#include "gui/app/window_texts.h"
#include "gui/vocab/file_commands.h"
#include "gui/vocab/recent_files.h"
#include "platform/ini_profile.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <algorithm>

namespace lexanta {

const QString FormSettings::kSection = QStringLiteral("TForm1");
const QString FormSettings::kRecentSection = QStringLiteral("TForm1.MRUManager1");
const QString FormSettings::kSpeedBarSection = QStringLiteral("TForm1SpeedBar1");

namespace {

enum class Property { FileName, Caption, Hint, Checked };

struct StoredProperty {
    const char* component;
    Property property;
};

// The stored properties of FormStorage1, in the order they are written.
constexpr StoredProperty kStoredProperties[] = {
    {"OpenDialog1", Property::FileName},
    {"N1", Property::Caption},
    {"N2", Property::Caption},
    {"N3", Property::Caption},
    {"N4", Property::Caption},
    {"N5", Property::Caption},
    {"N6", Property::Caption},
    {"N8", Property::Caption},
    {"Edit1", Property::Caption},
    {"Find1", Property::Caption},
    {"Replace1", Property::Caption},
    {"Service1", Property::Caption},
    {"questions1", Property::Caption},
    {"Sort1", Property::Caption},
    {"answers1", Property::Caption},
    {"comments1", Property::Caption},
    {"Swap1", Property::Caption},
    {"RandomizeEntries1", Property::Caption},
    {"InterfaceLanguage1", Property::Caption},
    {"Reload1", Property::Caption},
    {"SpeedbarSection1", Property::Caption},
    {"SpeedbarSection2", Property::Caption},
    {"SpeedbarSection3", Property::Caption},
    {"SpeedbarSection4", Property::Caption},
    {"SpeedItem1", Property::Hint},
    {"SpeedItem10", Property::Hint},
    {"SpeedItem11Random", Property::Hint},
    {"SpeedItem11Swap", Property::Hint},
    {"SpeedItem2", Property::Hint},
    {"SpeedItem3", Property::Hint},
    {"SpeedItem4", Property::Hint},
    {"SpeedItem5", Property::Hint},
    {"SpeedItem6", Property::Hint},
    {"SpeedItem8", Property::Hint},
    {"SpeedItem9", Property::Hint},
    {"SpeedItemHelp", Property::Hint},
    {"TotalWordsLabel", Property::Caption},
    {"TestLabel3", Property::Caption},
    {"TestLabel2", Property::Caption},
    {"TestLabel1", Property::Caption},
    {"TabSheet2", Property::Caption},
    {"TabSheet1", Property::Caption},
    {"GroupBox1", Property::Caption},
    {"GroupBox2", Property::Caption},
    {"GroupBox3", Property::Caption},
    {"LanguagesLabel", Property::Caption},
    {"AuthorLabel", Property::Caption},
    {"TitleLabel", Property::Caption},
    {"DateLabel", Property::Caption},
    {"CheckBox1", Property::Caption},
    {"GroupBox5", Property::Caption},
    {"GroupBox6", Property::Caption},
    {"GroupBox7", Property::Caption},
    {"Button2", Property::Caption},
    {"Button3", Property::Caption},
    {"Button4", Property::Caption},
    {"ChangeFont1", Property::Caption},
    {"ChangeFont2", Property::Caption},
    {"ChangeFont3", Property::Caption},
    {"FontSize1", Property::Caption},
    {"Import1", Property::Caption},
    {"Export1", Property::Caption},
    {"CheckBox1", Property::Checked},
    {"Merge1", Property::Caption},
    {"Exit1", Property::Caption},
    {"Removeblanklines1", Property::Checked},
    {"Removeblanklines1", Property::Caption},
    {"New1", Property::Caption},
    {"Findnext1", Property::Caption},
};
static_assert(std::size(kStoredProperties) == 69);

QString keyOf(const StoredProperty& p) {
    static const char* const names[] = {"FileName", "Caption", "Hint", "Checked"};
    return QString::fromLatin1(p.component) + QLatin1Char('_') +
           QLatin1String(names[static_cast<int>(p.property)]);
}

bool isTrimmedAway(QChar c) {
    return c.unicode() <= 0x20;
}

bool wrappedInQuotes(const QString& text) {
    if (text.isEmpty())
        return false;
    const QChar first = text.front();
    return (first == QLatin1Char('"') || first == QLatin1Char('\'')) && text.back() == first;
}

const QScreen* screenOf(const QWidget& widget) {
    if (const QScreen* s = widget.screen())
        return s;
    return QGuiApplication::primaryScreen();
}

int pixelsPerInch(const QWidget& widget) {
    const QScreen* s = screenOf(widget);
    return s ? qRound(s->logicalDotsPerInch()) : 96;
}

QString resolutionSuffix(const QWidget& widget) {
    const QScreen* s = screenOf(widget);
    const QSize size = s ? s->geometry().size() : QSize(0, 0);
    return QStringLiteral("(%1x%2)").arg(size.width()).arg(size.height());
}

QString fourInts(int a, int b, int c, int d) {
    return QStringLiteral("%1,%2,%3,%4").arg(a).arg(b).arg(c).arg(d);
}

std::optional<QRect> parseRect(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return std::nullopt;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    if (v[2] <= v[0] || v[3] <= v[1])
        return std::nullopt;
    return QRect(QPoint(v[0], v[1]), QSize(v[2] - v[0], v[3] - v[1]));
}

} // namespace

QMargins frameMargins(const QWidget& window) {
    const QRect inner = window.geometry(), outer = window.frameGeometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

std::optional<QRect> fittedOnScreen(const QRect& inner, const QMargins& frame) {
    const QRect rect = inner.marginsAdded(frame);
    QRect area;
    qint64 shared = 0;
    for (const QScreen* s : QGuiApplication::screens()) {
        const QRect common = s->availableGeometry() & rect;
        const qint64 size = qint64(common.width()) * common.height();
        if (!common.isEmpty() && size > shared) {
            shared = size;
            area = s->availableGeometry();
        }
    }
    if (area.isEmpty())
        return std::nullopt;
    QRect fitted(rect.topLeft(), rect.size().boundedTo(area.size()));
    fitted.moveLeft(std::clamp(fitted.left(), area.left(), area.right() + 1 - fitted.width()));
    fitted.moveTop(std::clamp(fitted.top(), area.top(), area.bottom() + 1 - fitted.height()));
    return fitted.marginsRemoved(frame);
}

FormSettings::FormSettings(MainWindow& form, const QString& configFolder, QObject* parent)
    : QObject(parent), form_(form), configFolder_(configFolder) {
    if (configFolder_.isEmpty())
        configFolder_ = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

QString FormSettings::programStoragePath() const {
    return form_.programFolder() + QStringLiteral("editor.ini");
}

QString FormSettings::userStoragePath() const {
    return QDir(configFolder_).filePath(QStringLiteral("lexanta-editor/editor.ini"));
}

QString FormSettings::storagePath() const {
    const QFileInfo program(programStoragePath()), user(userStoragePath());
    if (!user.exists())
        return programStoragePath();
    // The copy written last: the program folder's is stale when it could not be written at
    // the last save (a full disk), and cannot be ours at all when its folder is read-only.
    if (!program.exists() || !programFolderWritable() ||
        user.lastModified() > program.lastModified())
        return userStoragePath();
    return programStoragePath();
}

QString FormSettings::placementPath() const {
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return QDir(configFolder_)
        .filePath(QStringLiteral("lexanta-editor/") + program + QStringLiteral(".INI"));
}

QString FormSettings::formerPlacementPath() const {
    return QDir(configFolder_).filePath(QFileInfo(placementPath()).fileName());
}

bool FormSettings::programFolderWritable() const {
    const QString file = programStoragePath();
    if (QFileInfo::exists(file) && !QFileInfo(file).isWritable())
        return false;
    // Asking the file system is the only answer that holds for every user and mount.
    QTemporaryFile probe(form_.programFolder() + QStringLiteral(".editor-ini-XXXXXX"));
    return probe.open();
}

QString FormSettings::storedText(const QString& text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && isTrimmedAway(text[begin]))
        ++begin;
    while (end > begin && isTrimmedAway(text[end - 1]))
        --end;
    const QString trimmed = text.mid(begin, end - begin);
    return wrappedInQuotes(trimmed) ? QLatin1Char('"') + trimmed + QLatin1Char('"') : trimmed;
}

// ---- restore ------------------------------------------------------------------------------

void FormSettings::restoreStorage() {
    restored_ = true;
    IniFile ini;
    if (!ini.load(storagePath()))
        return; // unreadable: the design values stay, and the next save rewrites the file
    if (ini.intValue(kSection, QStringLiteral("FormVersion"), 0) < kFormVersion)
        return;
    for (const StoredProperty& p : kStoredProperties) {
        const QString key = keyOf(p);
        if (!ini.contains(kSection, key))
            continue;
        const QString value = ini.value(kSection, key).left(kStoredTextLimit);
        const QString component = QString::fromLatin1(p.component);
        switch (p.property) {
        case Property::FileName:
            form_.files().openDialog().fileName = value;
            break;
        case Property::Caption:
            form_.texts().setCaption(component, value);
            break;
        case Property::Hint:
            form_.texts().setHint(component, value);
            break;
        case Property::Checked: {
            const bool isTrue = value.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
            if (!isTrue && value.compare(QLatin1String("False"), Qt::CaseInsensitive) != 0)
                break; // not a check state: the design value stays
            if (component == QLatin1String("CheckBox1"))
                form_.autoSwitch()->setChecked(
                    isTrue); // a change enables or disables the layout boxes
            else
                form_.files().removeBlankLinesAction()->setChecked(isTrue);
            break;
        }
        }
    }
}

void FormSettings::restorePlacement() {
    IniFile ini;
    // Until the first save in the program's own folder, the file where earlier versions kept it.
    if (!ini.load(QFileInfo::exists(placementPath()) ? placementPath() : formerPlacementPath()))
        return;
    restoreWindowPlacement(ini);
    QStringList recent;
    for (int i = 0; i < RecentFiles::kCapacity; ++i) {
        const QString path =
            ini.value(kRecentSection, QStringLiteral("Item_%1").arg(i)).left(kStoredTextLimit);
        if (!path.isEmpty())
            recent << path;
    }
    form_.files().recentFiles().setItems(recent);
    form_.speedBar()->restoreLayout(ini, kSpeedBarSection, pixelsPerInch(form_));
}

void FormSettings::restoreWindowPlacement(const IniFile& ini) {
    if (ini.intValue(kSection, QStringLiteral("FormVersion"), 0) < kFormVersion)
        return;
    const int ppi = pixelsPerInch(form_);
    if (ini.intValue(kSection, QStringLiteral("PixelsPerInch"), ppi) == ppi) {
        const QString suffixed = QStringLiteral("NormPos") + resolutionSuffix(form_);
        const QString normPos = ini.contains(kSection, suffixed)
                                    ? ini.value(kSection, suffixed)
                                    : ini.value(kSection, QStringLiteral("NormPos"));
        if (const std::optional<QRect> rect = parseRect(normPos))
            if (const std::optional<QRect> fitted = fittedOnScreen(*rect, frameMargins(form_)))
                form_.setGeometry(*fitted);
    }
    switch (ini.intValue(kSection, QStringLiteral("ShowCmd"), 1)) {
    case 3:
        form_.setWindowState(Qt::WindowMaximized);
        break;
    case 2:
    case 6:
    case 7:
        form_.setWindowState(Qt::WindowMinimized);
        break;
    default:
        form_.setWindowState(Qt::WindowNoState);
        break;
    }
}

// ---- save ---------------------------------------------------------------------------------

QString FormSettings::save(bool destroying) {
    saved_ = true;
    QStringList failures;

    IniFile placement;
    // An unreadable file is replaced whole; a former one's other keys move along.
    placement.load(QFileInfo::exists(placementPath()) ? placementPath() : formerPlacementPath());
    placement.setPath(placementPath());
    savePlacement(placement, destroying);
    QDir().mkpath(QFileInfo(placementPath()).absolutePath());
    if (const IoResult r = placement.save(); !r)
        failures << r.message(QStringLiteral("write"));

    IniFile storage;
    storage.load(storagePath());
    saveStorage(storage);
    bool written = false;
    if (programFolderWritable()) {
        storage.setPath(programStoragePath());
        written = storage.save().ok;
    }
    if (!written) {
        storage.setPath(userStoragePath());
        QDir().mkpath(QFileInfo(userStoragePath()).absolutePath());
        if (const IoResult r = storage.save(); !r)
            failures << r.message(QStringLiteral("write"));
    }
    return failures.join(QLatin1Char('\n'));
}

void FormSettings::savePlacement(IniFile& ini, bool destroying) const {
    const Qt::WindowStates state = form_.windowState();
    const bool minimized = state.testFlag(Qt::WindowMinimized);
    const bool maximized = state.testFlag(Qt::WindowMaximized);
    const int ppi = pixelsPerInch(form_);
    const QString suffix = resolutionSuffix(form_);
    QRect normal = form_.normalGeometry();
    if (!normal.isValid())
        normal = form_.geometry();
    // No minimized or maximized positions are kept on this platform: -1 marks them unset.
    const QString minMaxPos = fourInts(-1, -1, -1, -1);
    const QString normPos = fourInts(normal.left(), normal.top(), normal.left() + normal.width(),
                                     normal.top() + normal.height());

    ini.setIntValue(kSection, QStringLiteral("FormVersion"), kFormVersion);
    ini.setIntValue(kSection, QStringLiteral("Flags"), minimized && maximized ? 2 : 0);
    ini.setIntValue(kSection, QStringLiteral("ShowCmd"), minimized ? 2 : maximized ? 3 : 1);
    ini.setIntValue(kSection, QStringLiteral("PixelsPerInch"), ppi);
    ini.setValue(kSection, QStringLiteral("MinMaxPos") + suffix, minMaxPos);
    ini.setValue(kSection, QStringLiteral("MinMaxPos"), minMaxPos);
    ini.setValue(kSection, QStringLiteral("NormPos") + suffix, normPos);
    ini.setValue(kSection, QStringLiteral("NormPos"), normPos);
    ini.setIntValue(kSection, QStringLiteral("Visible"), destroying ? 1 : 0);

    ini.eraseSection(kRecentSection);
    const QStringList& recent = form_.files().recentFiles().items();
    for (int i = 0; i < recent.size(); ++i)
        ini.setExactValue(kRecentSection, QStringLiteral("Item_%1").arg(i), recent[i]);

    form_.speedBar()->saveLayout(ini, kSpeedBarSection, ppi);
}

void FormSettings::saveStorage(IniFile& ini) const {
    ini.setIntValue(kSection, QStringLiteral("FormVersion"), kFormVersion);
    for (const StoredProperty& p : kStoredProperties) {
        const QString component = QString::fromLatin1(p.component);
        QString value;
        switch (p.property) {
        case Property::FileName:
            // The file last chosen for opening; Save as does not change it.
            ini.setExactValue(kSection, keyOf(p), form_.files().openDialog().fileName);
            continue;
        case Property::Caption:
            value = storedText(form_.texts().caption(component).value_or(QString()));
            break;
        case Property::Hint:
            value = storedText(form_.texts().hint(component).value_or(QString()));
            break;
        case Property::Checked: {
            const bool checked = component == QLatin1String("CheckBox1")
                                     ? form_.autoSwitch()->isChecked()
                                     : form_.files().removeBlankLinesAction()->isChecked();
            value = checked ? QStringLiteral("True") : QStringLiteral("False");
            break;
        }
        }
        ini.setValue(kSection, keyOf(p), value);
    }
}

} // namespace lexanta
