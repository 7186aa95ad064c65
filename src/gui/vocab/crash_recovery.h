#pragma once

// Crash recovery. While the open vocabulary has changes that were not saved, a copy of it
// (document/recovery_copy.h) is kept in a private folder, written within a couple of seconds
// of a change from a snapshot of the document on a thread of its own (RecoveryWriter). The
// copy goes only when the work it holds is saved, or when the editor ends normally (the user
// answered the save prompt). A document replaced by New, Load or Import while unsaved keeps
// its copy until the editor ends, as its work still sits in the undo stack.
//
// Each editor has an id of its own, random, so that no two editors ever share one (process
// ids repeat: containers, sandboxes, reboots). It holds ID.lock locked while it runs; its
// copies are ID-N.lexanta-recovery, N counting the documents it has kept. At the start every
// copy of an editor whose lock no one holds is offered in one list (file, time, entries),
// each to be recovered or discarded on its own; a recovered copy is taken over by the editor
// that recovered it, so that a second crash offers it again. A copy that does not read as one
// is moved to the folder "damaged" and named, never loaded.

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class QWidget;

namespace lexanta {

class Dialogs;
class Document;
class RecoveryWriter;
struct RecoveryCopyInfo;

class CrashRecovery : public QObject {
    Q_OBJECT

public:
    // A copy is written at most this long after the change that made it necessary.
    static constexpr int kDelayMs = 2000;

    // `folder` empty: the user's data folder.
    CrashRecovery(Document& document, Dialogs& dialogs, QWidget* owner, const QString& folder,
                  QObject* parent = nullptr);
    ~CrashRecovery() override;

    // Its dialogs and messages speak English when this says so, else Russian (unset: English).
    void setLanguageTest(std::function<bool()> isEnglish) { isEnglish_ = std::move(isEnglish); }
    // Says again why no copy can be kept, if none can, in the language of the moment.
    void retellTrouble();

    QString folder() const { return folder_; }
    // This editor's copy of the open document; it exists only while there are unsaved changes.
    QString copyPath() const;
    // Offers the copies that editors which ended without closing left.
    void offerLeftCopies();
    // The editor ends normally: its copies and its lock go.
    void finish();
    // Writes the copy now, if one is due, and waits until it is on disk (tests, benchmarks).
    void flush();

signals:
    // No copy can be kept (why), or, with an empty text, copies can be kept again.
    void copyTrouble(const QString& message);

private:
    void scheduleCopy();
    void writeCopy();
    void followModified(bool modified);
    void keepReplacedCopy();
    void copyDone(const QString& path, bool wrote, const QString& error);
    // Why no copy can be kept: `reason` as the system gave it, or one of ours.
    enum class Trouble { System, PrivateFolder, OutOfMemory };
    void tell(Trouble trouble, const QString& reason = {});
    QString troubleText() const;
    QString say(const char* english, const char* russian) const;
    QString describe(const RecoveryCopyInfo& info) const;
    void recover(const QString& copy);
    // Moves a copy that does not read as one to the folder "damaged"; returns where it is.
    QString keepAside(const QString& copy);

    Document& document_;
    Dialogs& dialogs_;
    QWidget* owner_;
    QString folder_;
    QString id_;
    int serial_ = 1;
    int lockFd_ = -1;
    QTimer timer_;
    RecoveryWriter* writer_;
    bool finished_ = false;
    bool troubled_ = false;
    Trouble trouble_ = Trouble::System;
    QString troubleReason_;
    std::function<bool()> isEnglish_;
};

} // namespace lexanta
