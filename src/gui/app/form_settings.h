#pragma once

#include "platform/file_io.h"

#include <QMargins>
#include <QObject>
#include <QRect>
#include <QString>

#include <optional>

class QWidget;

namespace lexanta {

class IniFile;
class MainWindow;

// The window frame's widths, once the window has one (none before the window manager framed it).
QMargins frameMargins(const QWidget& window);
// A window rectangle (without its frame) brought whole, frame and all, onto the available area
// of the screen it shares most with, shrunk where it is larger: one stored on a larger screen
// or at another scale, or a first start on a small screen. One on no screen at all (another
// screen setup) is none.
std::optional<QRect> fittedOnScreen(const QRect& inner, const QMargins& frame);

// FormStorage1 and FormPlacement1: the main window's two settings files.
//
// editor.ini (section TForm1) holds FormVersion and 69 control properties: the interface
// texts, the two options and the last file chosen for opening. It lives in the program
// folder; when that folder cannot be written (an installed program, a full disk) it is written
// to <config>/lexanta-editor/editor.ini instead, and the newer of the two is read.
//
// The placement file, named after the executable with the extension ".INI", lives in the
// user's configuration folder and holds the window placement (section TForm1), the
// recent-file list (TForm1.MRUManager1) and the tool bar layout (TForm1SpeedBar1).
class FormSettings : public QObject {
    Q_OBJECT

public:
    FormSettings(MainWindow& form, const QString& configFolder, QObject* parent = nullptr);

    static constexpr int kFormVersion = 0;
    // Texts read from the files are cut to this many characters: a file edited by hand may
    // hold megabytes in a caption, which the window would take seconds to lay out.
    static constexpr qsizetype kStoredTextLimit = 4096;
    static const QString kSection;         // TForm1
    static const QString kRecentSection;   // TForm1.MRUManager1
    static const QString kSpeedBarSection; // TForm1SpeedBar1

    // The program folder's editor.ini and the user's fallback copy.
    QString programStoragePath() const;
    QString userStoragePath() const;
    // The editor.ini that is read: the one of the two that was written last (the user's copy
    // alone while the program folder cannot be written).
    QString storagePath() const;
    QString placementPath() const;
    // Where earlier versions kept the placement file: the top of the configuration folder.
    QString formerPlacementPath() const;

    // FormStorage1's restore: the stored properties. Returns after the properties are set;
    // the caller reopens the last file.
    void restoreStorage();
    // FormPlacement1's restore: placement, recent files, tool bar layout.
    void restorePlacement();
    bool restored() const { return restored_; }

    // Writes the placement file, then editor.ini. `destroying` records Visible = 1.
    // Failures are collected in the returned text (empty when both were written).
    QString save(bool destroying = false);
    bool saved() const { return saved_; }

    // The text as FormStorage1 writes it: blanks and control characters trimmed, and a
    // text that begins and ends with the same quote wrapped in one more pair of double
    // quotes, so that reading it gives the trimmed text back.
    static QString storedText(const QString& text);

private:
    void savePlacement(IniFile& ini, bool destroying) const;
    void saveStorage(IniFile& ini) const;
    void restoreWindowPlacement(const IniFile& ini);
    bool programFolderWritable() const;

    MainWindow& form_;
    QString configFolder_;
    bool restored_ = false;
    bool saved_ = false;
};

} // namespace lexanta
