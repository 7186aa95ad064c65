#include "gui/app/program_options.h"

#include "platform/codepage.h"
#include "platform/ini_profile.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lexanta {

namespace {

const QString kSection = QStringLiteral("Options");
const QString kCodePageKey = QStringLiteral("SystemCodePage");

struct PageChoice {
    int page;
    const char* name;
};
const PageChoice kPages[] = {
    {1252, "Western"}, {1250, "Central European"}, {1251, "Cyrillic"},
    {1253, "Greek"},   {1254, "Turkish"},          {1255, "Hebrew"},
    {1256, "Arabic"},  {1257, "Baltic"},           {1258, "Vietnamese"},
    {874, "Thai"},     {932, "Japanese"},          {936, "Chinese (PRC)"},
    {949, "Korean"},   {950, "Chinese (Taiwan)"},
};

// The line of the file where the key is written, for messages; 0 when not found.
int lineOfKey(const QString& path, const QString& key) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    int line = 0;
    while (!file.atEnd()) {
        ++line;
        const QString text = QString::fromUtf8(file.readLine()).trimmed();
        if (text.section(QLatin1Char('='), 0, 0).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return line;
    }
    return 0;
}

} // namespace

ProgramOptions::ProgramOptions(QString path, QComboBox* codePageBox,
                               std::function<void(const QString&)> showStatus, QObject* parent)
    : QObject(parent), path_(std::move(path)), box_(codePageBox),
      showStatus_(std::move(showStatus)) {
    box_->addItem(QString(), 0);
    showTexts(true);
    for (const PageChoice& c : kPages)
        box_->addItem(QStringLiteral("%1 %2").arg(c.page).arg(QLatin1String(c.name)), c.page);
    connect(box_, &QComboBox::currentIndexChanged, this, &ProgramOptions::choose);
}

void ProgramOptions::load() {
    IniFile ini;
    const IoResult read = ini.load(path_);
    int page = 0;
    if (!read.ok) {
        showStatus_(read.message(QStringLiteral("read")));
    } else if (ini.contains(kSection, kCodePageKey)) {
        const QString value = ini.value(kSection, kCodePageKey);
        bool number = false;
        const int stored = value.toInt(&number);
        if (number && (stored == 0 || box_->findData(stored) >= 0))
            page = stored;
        else
            showStatus_(QStringLiteral("%1, line %2: \"%3\" is not a code page offered; the "
                                       "system language's is used.")
                            .arg(QDir::toNativeSeparators(path_))
                            .arg(lineOfKey(path_, kCodePageKey))
                            .arg(value));
    }
    setSystemAnsiCodePageOverride(page);
    loading_ = true;
    box_->setCurrentIndex(box_->findData(page));
    loading_ = false;
    emit systemCodePageChanged();
}

void ProgramOptions::showTexts(bool english) {
    box_->setItemText(0,
                      (english ? QStringLiteral("System (%1)") : QStringLiteral("Системная (%1)"))
                          .arg(localeAnsiCodePage()));
}

void ProgramOptions::choose(int index) {
    if (loading_ || index < 0)
        return;
    const int page = box_->itemData(index).toInt();
    setSystemAnsiCodePageOverride(page);
    emit systemCodePageChanged();
    IniFile ini;
    IoResult result = ini.load(path_);
    if (result.ok) {
        ini.setPath(path_);
        ini.setValue(kSection, kCodePageKey, QString::number(page));
        QDir().mkpath(QFileInfo(path_).absolutePath());
        result = ini.save();
    }
    if (!result.ok)
        showStatus_(QStringLiteral("The code page choice was not stored. ") +
                    result.message(QStringLiteral("write")));
}

} // namespace lexanta
