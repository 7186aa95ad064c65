#pragma once

// Settings of the program's own, kept apart from editor.ini's stored texts and the placement
// file: lexanta-editor/options.ini in the user's configuration folder, beside print.ini.
// Today it holds the code page that stands for the system's (the Preferences choice).

#include <QObject>
#include <QString>

#include <functional>

class QComboBox;

namespace lexanta {

class ProgramOptions : public QObject {
    Q_OBJECT

public:
    // `codePageBox` is filled with the choices and follows the stored one.
    ProgramOptions(QString path, QComboBox* codePageBox,
                   std::function<void(const QString&)> showStatus, QObject* parent = nullptr);

    // Reads the file and applies its choice; a value that names no page offered is reported
    // and left in the file, and the locale's page is used.
    void load();
    // Names the system's own choice in the interface language.
    void showTexts(bool english);

signals:
    void systemCodePageChanged();

private:
    void choose(int index);

    QString path_;
    QComboBox* box_;
    std::function<void(const QString&)> showStatus_;
    bool loading_ = false;
};

} // namespace lexanta
