#pragma once

// Crash recovery: while the open vocabulary has changes that were not saved, a copy of it
// (the bytes a save would write) is kept in the user's data folder, written at most every
// 30 s and at once after each command that rewrites the whole list. A clean exit removes it.
// At the next start after a crash the editor offers, once, to reopen it.
//
// Each editor keeps its copy as recovery-PID.lut beside recovery-PID.lock, which it holds
// locked while it runs; a copy whose lock nobody holds was left by an editor that died.

#include <QObject>
#include <QString>
#include <QTimer>

class QWidget;

namespace lexanta {

class Dialogs;
class Document;

class CrashRecovery : public QObject {
    Q_OBJECT

public:
    static constexpr int kIntervalMs = 30'000;

    // `folder` empty: the user's data folder.
    CrashRecovery(Document& document, Dialogs& dialogs, QWidget* owner, const QString& folder,
                  QObject* parent = nullptr);
    ~CrashRecovery() override;

    QString folder() const { return folder_; }
    // This editor's copy; it exists only while there are unsaved changes.
    QString copyPath() const;
    // Offers the newest copy a dead editor left, then removes it whatever the answer.
    void offerLeftCopy();
    // The program ends as it should: the copy goes.
    void finish();

private:
    void followModified(bool modified);
    void writeCopy();
    void removeCopy();

    Document& document_;
    Dialogs& dialogs_;
    QWidget* owner_;
    QString folder_;
    QString base_; // recovery-PID
    int lockFd_ = -1;
    QTimer timer_;
    bool finished_ = false;
};

} // namespace lexanta
