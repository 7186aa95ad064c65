#pragma once

// Service > Interface Language, and the help menu: the help manual and the About box.

#include <QObject>
#include <QString>

#include <optional>

class QAction;
class QWidget;

namespace lexanta {

class Dialogs;
class AboutBox;

// The window's texts by design name: the captions of menus, labels, buttons, pages and tool
// bar sections, the tool button hints and the file dialogs' filters.
class InterfaceTexts {
public:
    virtual ~InterfaceTexts() = default;
    virtual std::optional<QString> caption(const QString& control) const = 0;
    virtual bool setCaption(const QString& control, const QString& text) = 0;
    virtual bool setHint(const QString& control, const QString& hint) = 0;
    virtual bool setFilter(const QString& dialog, const QString& filter) = 0;
};

enum class InterfaceLanguage;

class LanguageCommands : public QObject {
    Q_OBJECT

public:
    LanguageCommands(InterfaceTexts& texts, Dialogs& dialogs, QWidget* owner,
                     const QString& programFolder, QObject* parent = nullptr);

    QAction* englishAction() const { return english_; } // English1
    QAction* russianAction() const { return russian_; } // RussianMenuItem
    QAction* helpAction() const { return help_; }       // Help1
    QAction* aboutAction() const { return about_; }     // N6
    AboutBox* aboutBox() const { return aboutBox_; }

    void applyLanguage(InterfaceLanguage language);
    // English exactly when the File menu is captioned "&File".
    bool isEnglishInterface() const;
    // The texts that are not stored with the settings follow the language the stored ones
    // show (after the settings are restored).
    void followStoredLanguage();
    void openHelp();
    void showAbout();

signals:
    // The texts that are not stored were set to a language (the check panel and the replace
    // dialog follow).
    void unstoredTextsApplied(bool english);

private:
    void applyUnstoredTexts(bool english);

    InterfaceTexts& texts_;
    Dialogs& dialogs_;
    QWidget* owner_;
    QString programFolder_;
    QAction *english_, *russian_, *help_, *about_;
    AboutBox* aboutBox_;
};

} // namespace lexanta
